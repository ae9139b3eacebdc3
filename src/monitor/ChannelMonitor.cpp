#include "monitor/ChannelMonitor.h"

#include "monitor/ChannelTableModel.h"
#include "monitor/MonitorColumns.h"
#include "monitor/MonitorSource.h"
#include "monitor/MonitorTexts.h"
#include "monitor/TrendChart.h"
#include "persistence/AtomicFile.h"
#include "texts/QtTexts.h"
#include "uikit/MessageBox.h"

#include <QBuffer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using texts::TextId;

constexpr int kTableFontPx = 16;
constexpr int kSummaryFontPx = 20;
constexpr int kControlFontPx = 15;

QString qs(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

QString summaryStyle(std::optional<display::BoardVerdict> verdict)
{
    QString background = QStringLiteral("rgb(220,220,220)");
    if (verdict == display::BoardVerdict::Pass)
        background = QStringLiteral("rgb(100,255,100)");
    else if (verdict == display::BoardVerdict::Fail)
        background = QStringLiteral("rgb(255,100,100)");
    return QStringLiteral("QLabel { background: %1; color: black; padding: 6px; font-weight: bold; }")
        .arg(background);
}

bool writeWhole(const QString& path, std::string_view content, QString* error)
{
    std::error_code code;
    if (atomicfile::write(path.toStdString(), content, &code))
        return true;
    if (error != nullptr)
        *error = QString::fromStdString(code.message());
    return false;
}

} // namespace

ChannelMonitor::ChannelMonitor(MonitorSource& source, int row, int col, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(source), row_(row), col_(col), english_(source.englishUi())
{
    setAttribute(Qt::WA_DeleteOnClose);
    buildLayout(english_);
    connect(&timer_, &QTimer::timeout, this, &ChannelMonitor::refresh);
    timer_.start(kRefreshMs);
    refresh();
    resize(1280, 900);
}

void ChannelMonitor::buildLayout(bool english)
{
    const auto say = [english](TextId id) { return texts::qtext(id, english); };
    QFont controlFont = font();
    controlFont.setPixelSize(kControlFontPx);
    setFont(controlFont);

    summary_ = new QLabel(this);
    QFont summaryFont = font();
    summaryFont.setPixelSize(kSummaryFontPx);
    summary_->setFont(summaryFont);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->setWordWrap(true); // a long English line would hold the window wider than the screen

    auto* windowLabel = new QLabel(say(TextId::MonitorWindowK), this);
    windowSize_ = new QSpinBox(this);
    windowSize_->setRange(1, static_cast<int>(kTrendCycles));
    windowSize_->setValue(static_cast<int>(source_.statistics(row_, col_).snapshot().window));
    connect(windowSize_, &QSpinBox::valueChanged, this, [this](int k) {
        source_.statistics(row_, col_).setWindow(static_cast<std::size_t>(k));
        refresh();
    });
    pause_ = new QPushButton(say(TextId::MonitorPause), this);
    pause_->setCheckable(true);
    connect(pause_, &QPushButton::toggled, this, [this](bool paused) { trend_->setPaused(paused); });
    auto* saveChart = new QPushButton(say(TextId::MonitorSaveChart), this);
    connect(saveChart, &QPushButton::clicked, this, [this] {
        askToWrite(TextId::MonitorPngFilter, QStringLiteral(".png"), &ChannelMonitor::saveChartPng);
    });
    auto* exportCsv = new QPushButton(say(TextId::MonitorExportCsv), this);
    connect(exportCsv, &QPushButton::clicked, this, [this] {
        askToWrite(TextId::MonitorCsvFilter, QStringLiteral(".csv"), &ChannelMonitor::exportCsv);
    });

    auto* controls = new QHBoxLayout();
    controls->addWidget(windowLabel);
    controls->addWidget(windowSize_);
    controls->addSpacing(20);
    controls->addWidget(pause_);
    controls->addWidget(saveChart);
    controls->addStretch(1);
    controls->addWidget(exportCsv);

    model_ = new ChannelTableModel(english, this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(ChannelTableModel::kSortRole);
    sorted_->setDynamicSortFilter(true);
    table_ = new QTableView(this);
    table_->setModel(sorted_);
    QFont tableFont = font();
    tableFont.setPixelSize(kTableFontPx);
    table_->setFont(tableFont);
    table_->horizontalHeader()->setFont(tableFont);
    table_->setSortingEnabled(true);
    // Failing channels first, the others in display order (ties keep the board's order, so
    // rows do not jump about with the noise).
    table_->sortByColumn(static_cast<int>(monitor::Column::Pass), Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(kTableFontPx + 10);
    // Columns as wide as their titles and figures (a scroll bar when the window is narrower),
    // the room left shared among them.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table_->viewport()->installEventFilter(this);
    connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (fitting_ || column < 0)
                    return; // our own fitting, not the operator's drag
                if (operatorWidths_.size() <= static_cast<std::size_t>(column))
                    operatorWidths_.resize(static_cast<std::size_t>(column) + 1, 0);
                operatorWidths_[static_cast<std::size_t>(column)] = width;
            });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateTrend(); });

    trend_ = new TrendChart(english, this);
    trend_->setMinimumHeight(kTrendMinHeight);
    auto* hint = new QLabel(say(TextId::MonitorTrendHint), this);

    auto* trendBox = new QWidget(this);
    auto* trendLayout = new QVBoxLayout(trendBox);
    trendLayout->setContentsMargins(0, 0, 0, 0);
    trendLayout->addWidget(hint);
    trendLayout->addWidget(trend_, 1);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(table_);
    splitter->addWidget(trendBox);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addLayout(controls);
    layout->addWidget(splitter, 1);
}

void ChannelMonitor::refresh()
{
    const std::optional<monitor::MonitorInput> input = source_.monitorInput(row_, col_);
    if (!input) {
        setWindowTitle(qs(monitor::text::windowTitle(row_, col_, 0, english_)));
        summary_->setText(qs(monitor::text::notMeasuredText(english_)));
        summary_->setStyleSheet(summaryStyle(std::nullopt));
        model_->setRows({});
        updateTrend();
        return;
    }
    setWindowTitle(qs(monitor::text::windowTitle(row_, col_, input->panel.channelCount, english_)));
    std::vector<monitor::ChannelRow> rows = monitor::monitorRows(*input);
    const monitor::BoardSummary summary = monitor::summarize(*input, rows);
    summary_->setText(qs(monitor::text::summaryText(summary, english_)));
    summary_->setStyleSheet(summaryStyle(summary.verdict));
    model_->setRows(std::move(rows));
    fitColumns();
    updateTrend();
}

void ChannelMonitor::fitColumns()
{
    // A column needs the widest its title or figures have been: the figures change with every
    // cycle and the columns must not jitter with them. A column the operator sized keeps that
    // width unless its figures need more; the room left is shared among the others.
    QHeaderView* header = table_->horizontalHeader();
    const int count = header->count();
    columnNeeds_.resize(static_cast<std::size_t>(count), 0);
    operatorWidths_.resize(static_cast<std::size_t>(count), 0);
    const QScopedValueRollback fitting(fitting_, true);
    int total = 0;
    int shared = 0;
    for (int column = 0; column < count; ++column) {
        const auto i = static_cast<std::size_t>(column);
        table_->resizeColumnToContents(column); // the larger of title and cells
        columnNeeds_[i] = std::max(columnNeeds_[i], header->sectionSize(column));
        total += std::max(columnNeeds_[i], operatorWidths_[i]);
        shared += operatorWidths_[i] == 0 ? 1 : 0;
    }
    const int spare = shared > 0 ? std::max(0, table_->viewport()->width() - total) / shared : 0;
    for (int column = 0; column < count; ++column) {
        const auto i = static_cast<std::size_t>(column);
        header->resizeSection(column, operatorWidths_[i] > 0 ? std::max(columnNeeds_[i], operatorWidths_[i])
                                                             : columnNeeds_[i] + spare);
    }
}

bool ChannelMonitor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QWidget::eventFilter(watched, event);
}

std::vector<int> ChannelMonitor::trendChannels() const
{
    std::vector<int> channels;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        const int channel = sorted_->data(index, ChannelTableModel::kChannelRole).toInt();
        if (channels.size() < kMaxTrendChannels)
            channels.push_back(channel);
    }
    std::sort(channels.begin(), channels.end());
    if (channels.empty())
        channels = monitor::defaultTrendChannels(model_->rows(), kMaxTrendChannels);
    return channels;
}

void ChannelMonitor::updateTrend()
{
    if (trend_->paused())
        return;
    const std::vector<int> channels = trendChannels();
    std::vector<TrendChart::Channel> lines;
    for (const int channel : channels) {
        TrendChart::Channel line{channel, 0, 0, false};
        for (const monitor::ChannelRow& row : model_->rows())
            if (row.channel == channel) {
                line.low = row.low;
                line.high = row.high;
                line.judged = row.judgement != display::ChannelJudgement::NotJudged;
            }
        lines.push_back(line);
    }
    trend_->setChannels(lines);
    trend_->setTrend(source_.statistics(row_, col_).trend(channels, kTrendCycles), kTrendCycles);
}

bool ChannelMonitor::saveChartPng(const QString& path, QString* error)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!trend_->grab().save(&buffer, "PNG")) {
        if (error != nullptr)
            *error = QStringLiteral("PNG");
        return false;
    }
    return writeWhole(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())), error);
}

bool ChannelMonitor::exportCsv(const QString& path, QString* error)
{
    // The rows in the order the table shows them.
    std::vector<monitor::ChannelRow> rows;
    for (int r = 0; r < sorted_->rowCount(); ++r) {
        const QModelIndex source = sorted_->mapToSource(sorted_->index(r, 0));
        rows.push_back(model_->rows()[static_cast<std::size_t>(source.row())]);
    }
    return writeWhole(path, monitor::tableCsv(rows, english_), error);
}

void ChannelMonitor::askToWrite(TextId filter, const QString& suffix,
                                bool (ChannelMonitor::*write)(const QString&, QString*))
{
    const QString path =
        QFileDialog::getSaveFileName(this, QString(), QString(), texts::qtext(filter, english_));
    if (path.isEmpty())
        return;
    const QString file = path.endsWith(suffix, Qt::CaseInsensitive) ? path : path + suffix;
    QString error;
    if (!(this->*write)(file, &error))
        uikit::message(this, texts::qtext(TextId::MonitorSaveFailed, english_).arg(file, error),
                       QMessageBox::Warning);
}
