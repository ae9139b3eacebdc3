#include "CResultsDlg.h"

#include "ResultsExport.h"
#include "ResultsSummary.h"
#include "texts/QtTexts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>

namespace resultsview {

namespace {

using texts::TextId;

QTableWidget* makeTable(const QStringList& headers, QWidget* parent)
{
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setAlternatingRowColors(true);
    return table;
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    return item;
}

QTableWidgetItem* verdictCell(RunVerdict verdict)
{
    auto* item = cell(QString::fromLatin1(verdictName(verdict).data()), Qt::AlignCenter);
    QFont bold = item->font();
    bold.setBold(true);
    item->setFont(bold);
    switch (verdict) {
    case RunVerdict::Pass:
        item->setBackground(QColor(100, 255, 100));
        break;
    case RunVerdict::Fail:
        item->setBackground(QColor(255, 100, 100));
        break;
    case RunVerdict::Load:
        item->setBackground(QColor(200, 200, 200));
        break;
    case RunVerdict::NotMeasured:
        item->setBackground(QColor(255, 230, 120));
        break;
    }
    item->setForeground(Qt::black);
    return item;
}

// "2026-03-01T08:15:02.123Z" as "2026-03-01 08:15:02".
QString shownTime(const std::string& iso)
{
    QString text = QString::fromStdString(iso).left(19);
    text.replace(QLatin1Char('T'), QLatin1Char(' '));
    return text;
}

} // namespace

CResultsDlg::CResultsDlg(std::filesystem::path file, bool english, QWidget* parent)
    : QDialog(parent), file_(std::move(file)), english_(english)
{
    setWindowTitle(say(TextId::ResultsCaption));
    QFont large = font();
    large.setPointSizeF(std::max(large.pointSizeF(), 9.0) * 1.25);
    setFont(large);

    serial_ = new QLineEdit(this);
    serial_->setObjectName(QStringLiteral("serialFilter"));
    serial_->setClearButtonEnabled(true);
    verdict_ = new QComboBox(this);
    verdict_->setObjectName(QStringLiteral("verdictFilter"));
    verdict_->addItem(say(TextId::ResultsAllVerdicts));
    for (const auto v : {RunVerdict::Pass, RunVerdict::Fail, RunVerdict::Load, RunVerdict::NotMeasured})
        verdict_->addItem(QString::fromLatin1(verdictName(v).data()), static_cast<int>(v));
    auto* refreshButton = new QPushButton(say(TextId::ResultsRefresh), this);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(say(TextId::ResultsSerial), this));
    filters->addWidget(serial_, 2);
    filters->addSpacing(16);
    filters->addWidget(new QLabel(say(TextId::ResultsVerdict), this));
    filters->addWidget(verdict_);
    filters->addSpacing(16);
    filters->addWidget(refreshButton);
    filters->addStretch(1);

    // The serial and verdict columns take the filter labels' words without the colon.
    results_ = makeTable({say(TextId::ResultsTime), say(TextId::ResultsPosition),
                          say(TextId::ResultsSerial).remove(QChar(':')).remove(QChar(0xFF1A)),
                          say(TextId::ResultsVerdict).remove(QChar(':')).remove(QChar(0xFF1A)),
                          say(TextId::ResultsFailedCycles), say(TextId::ResultsRunId)},
                         this);
    results_->setObjectName(QStringLiteral("resultTable"));
    yield_ = makeTable({say(TextId::ResultsPosition), QStringLiteral("n"), QStringLiteral("PASS"),
                        QStringLiteral("FAIL"), QStringLiteral("LOAD"), say(TextId::ResultsYieldHeader)},
                       this);
    yield_->setObjectName(QStringLiteral("yieldTable"));
    pareto_ = makeTable(
        {say(TextId::ResultsPosition), say(TextId::ResultsChannel), say(TextId::ResultsFailures)}, this);
    pareto_->setObjectName(QStringLiteral("paretoTable"));
    channels_ = makeTable({say(TextId::ResultsChannel), say(TextId::ResultsMode),
                           say(TextId::ResultsReference), say(TextId::ResultsLow), say(TextId::ResultsHigh),
                           say(TextId::ResultsMean), say(TextId::ResultsMin), say(TextId::ResultsMax),
                           say(TextId::ResultsSd), say(TextId::ResultsPass)},
                          this);
    channels_->setObjectName(QStringLiteral("channelTable"));

    const auto group = [this](TextId title, QWidget* content) {
        auto* box = new QGroupBox(say(title), this);
        auto* layout = new QVBoxLayout(box);
        layout->addWidget(content);
        return box;
    };
    auto* left = new QSplitter(Qt::Vertical, this);
    left->addWidget(group(TextId::ResultsRuns, results_));
    left->addWidget(group(TextId::ResultsChannels, channels_));
    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(group(TextId::ResultsYield, yield_));
    right->addWidget(group(TextId::ResultsPareto, pareto_));
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("resultsStatus"));
    status_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(split, 1);
    layout->addWidget(status_);
    resize(1400, 900);

    connect(refreshButton, &QPushButton::clicked, this, &CResultsDlg::refresh);
    connect(serial_, &QLineEdit::returnPressed, this, &CResultsDlg::refresh);
    connect(verdict_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(results_, &QTableWidget::currentCellChanged, this, [this](int row) { showChannels(row); });
    refresh();
}

ResultsStore::Filter CResultsDlg::filter() const
{
    ResultsStore::Filter f;
    f.serial = serial_->text().trimmed().toStdString();
    if (verdict_->currentIndex() > 0)
        f.verdict = static_cast<RunVerdict>(verdict_->currentData().toInt());
    f.limit = 1000;
    return f;
}

void CResultsDlg::setSerialFilter(const QString& serial)
{
    serial_->setText(serial);
    refresh();
}

void CResultsDlg::setVerdictFilter(std::optional<RunVerdict> verdict)
{
    const int index = verdict ? verdict_->findData(static_cast<int>(*verdict)) : 0;
    if (index == verdict_->currentIndex())
        refresh();
    else
        verdict_->setCurrentIndex(index); // refreshes
}

QString CResultsDlg::say(texts::TextId id) const
{
    return texts::qtext(id, english_);
}

QString CResultsDlg::statusText() const
{
    return status_->text();
}

void CResultsDlg::refresh()
{
    rows_.clear();
    results_->setRowCount(0);
    yield_->setRowCount(0);
    pareto_->setRowCount(0);
    channels_->setRowCount(0);
    const QString fileName = QString::fromStdString(file_.string());
    if (!std::filesystem::exists(file_)) {
        status_->setText(say(TextId::ResultsNoFile).arg(fileName));
        return;
    }
    try {
        ResultsStore::Options options;
        options.readOnly = true;
        ResultsStore store(file_, options);
        const auto f = filter();
        const auto runs = store.latestRuns(f);
        fillResults(runs);
        fillSummary(store, f);
        status_->setText(say(TextId::ResultsShownRuns).arg(runs.size()).arg(rows_.size()) +
                         QStringLiteral("   ") + fileName);
    } catch (const std::exception& error) {
        status_->setText(say(TextId::ResultsCannotRead).arg(fileName, QString::fromUtf8(error.what())));
    }
}

void CResultsDlg::fillResults(const std::vector<TestRun>& runs)
{
    results_->setUpdatesEnabled(false);
    for (const auto& run : runs) {
        for (const auto& board : run.boards) {
            const int row = results_->rowCount();
            results_->insertRow(row);
            results_->setItem(row, 0, cell(shownTime(run.startedAt), Qt::AlignLeft | Qt::AlignVCenter));
            results_->setItem(row, 1,
                              cell(say(TextId::ResultsPositionFormat)
                                       .arg(board.index + 1)
                                       .arg(board.row + 1)
                                       .arg(board.col + 1),
                                   Qt::AlignLeft | Qt::AlignVCenter));
            results_->setItem(row, 2,
                              cell(QString::fromStdString(board.serial), Qt::AlignLeft | Qt::AlignVCenter));
            results_->setItem(row, 3, verdictCell(board.verdict));
            results_->setItem(row, 4, cell(QString::number(board.failedCycles)));
            results_->setItem(row, 5,
                              cell(QString::fromStdString(run.id).left(8), Qt::AlignLeft | Qt::AlignVCenter));
            rows_.push_back({run.id, board.index});
        }
    }
    results_->setUpdatesEnabled(true);
}

void CResultsDlg::fillSummary(ResultsStore& store, const ResultsStore::Filter& f)
{
    // Yield and failing channels over the runs shown (the verdict filter narrows the list, not
    // the yield: a yield of failing boards alone says nothing).
    ResultsStore::Filter period = f;
    period.verdict.reset();
    const auto summary = summariseResults(store, period, 20);
    for (const auto& p : summary.positions) {
        const int row = yield_->rowCount();
        yield_->insertRow(row);
        yield_->setItem(
            row, 0,
            cell(say(TextId::ResultsPositionFormat).arg(p.index + 1).arg(p.row + 1).arg(p.col + 1),
                 Qt::AlignLeft | Qt::AlignVCenter));
        yield_->setItem(row, 1, cell(QString::number(p.tested)));
        yield_->setItem(row, 2, cell(QString::number(p.passed)));
        yield_->setItem(row, 3, cell(QString::number(p.failed)));
        yield_->setItem(row, 4, cell(QString::number(p.load)));
        const auto y = p.yield();
        yield_->setItem(
            row, 5,
            cell(y ? QString::number(*y * 100.0, 'f', 1) + QStringLiteral(" %") : QStringLiteral("-")));
    }
    for (const auto& failing : summary.pareto) {
        const int row = pareto_->rowCount();
        pareto_->insertRow(row);
        pareto_->setItem(row, 0,
                         cell(QString::number(failing.boardIndex + 1), Qt::AlignLeft | Qt::AlignVCenter));
        pareto_->setItem(row, 1, cell(QString::number(failing.channel)));
        pareto_->setItem(row, 2, cell(QString::number(failing.failures)));
    }
}

void CResultsDlg::selectResult(int row)
{
    results_->setCurrentCell(row, 0);
    showChannels(row);
}

void CResultsDlg::showChannels(int row)
{
    channels_->setRowCount(0);
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    try {
        ResultsStore::Options options;
        options.readOnly = true;
        ResultsStore store(file_, options);
        const auto rows = store.channels(rows_[static_cast<std::size_t>(row)].runId,
                                         rows_[static_cast<std::size_t>(row)].boardIndex);
        channels_->setUpdatesEnabled(false);
        for (const auto& c : rows) {
            const int r = channels_->rowCount();
            channels_->insertRow(r);
            channels_->setItem(r, 0, cell(QString::number(c.channel)));
            channels_->setItem(
                r, 1,
                cell(QString::fromStdString(channelModeName(c.mode)), Qt::AlignLeft | Qt::AlignVCenter));
            channels_->setItem(r, 2, cell(QString::number(c.reference)));
            channels_->setItem(r, 3, cell(QString::number(c.low)));
            channels_->setItem(r, 4, cell(QString::number(c.high)));
            channels_->setItem(r, 5, cell(QString::number(c.mean, 'f', 1)));
            channels_->setItem(r, 6, cell(QString::number(c.min)));
            channels_->setItem(r, 7, cell(QString::number(c.max)));
            channels_->setItem(r, 8, cell(QString::number(c.sd, 'f', 2)));
            channels_->setItem(r, 9, verdictCell(c.pass ? RunVerdict::Pass : RunVerdict::Fail));
        }
        channels_->setUpdatesEnabled(true);
    } catch (const std::exception& error) {
        status_->setText(say(TextId::ResultsCannotRead)
                             .arg(QString::fromStdString(file_.string()), QString::fromUtf8(error.what())));
    }
}

} // namespace resultsview
