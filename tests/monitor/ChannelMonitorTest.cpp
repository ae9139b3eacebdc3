#include "monitor/ChannelMonitor.h"

#include "monitor/ChannelTableModel.h"
#include "monitor/MonitorColumns.h"
#include "monitor/MonitorFeed.h"
#include "monitor/MonitorSource.h"
#include "monitor/MonitorWindows.h"
#include "monitor/TrendChart.h"
#include "setup/ChannelMode.h"
#include "support/VisibleTexts.h"
#include "uikit/ParentlessWindows.h"

#include <QAbstractAxis>
#include <QApplication>
#include <QChart>
#include <QFile>
#include <QFontMetrics>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using display::ChannelJudgement;

// A board of 8 Open channels at reference 2000, limits 1800..2200; the source of a monitor
// without a station behind it.
class FakeSource : public MonitorSource {
public:
    FakeSource()
    {
        panel.channelCount = 8;
        for (std::size_t i = 0; i < 64; ++i) {
            panel.order[i] = static_cast<std::uint8_t>(i);
            panel.reference[i] = 2000;
        }
    }

    // One judged cycle: every channel reads base + its number, channel `failing` reads 1500.
    void cycle(std::uint16_t base, int failing = -1)
    {
        monitor::JudgedBoard judged;
        judged.verdict = failing >= 0 ? display::BoardVerdict::Fail : display::BoardVerdict::Pass;
        for (std::size_t i = 0; i < 64; ++i) {
            judged.low[i] = 1800;
            judged.high[i] = 2200;
            judged.counts[i] = static_cast<std::uint16_t>(base + i);
            judged.judgement[i] = ChannelJudgement::Pass;
        }
        if (failing >= 0) {
            judged.counts[static_cast<std::size_t>(failing)] = 1500;
            judged.judgement[static_cast<std::size_t>(failing)] = ChannelJudgement::Fail;
        }
        feed.boardJudged(0, 1, judged, panel.channelCount);
    }

    std::optional<monitor::MonitorInput> monitorInput(int row, int col) const override
    {
        const std::optional<monitor::JudgedBoard> judged = feed.latest(row, col);
        if (!judged)
            return std::nullopt;
        return monitor::MonitorInput{panel, *judged, statistics(row, col).snapshot()};
    }
    stats::BoardStatistics& statistics(int row, int col) const override
    {
        return feed.statistics().board(row, col);
    }
    bool englishUi() const override { return english; }

    bool english = true;
    display::BoardSnapshot panel;
    mutable monitor::MonitorFeed feed;
};

int column(monitor::Column c)
{
    return static_cast<int>(c);
}

QString cell(const ChannelMonitor& window, int row, monitor::Column c)
{
    return window.sortedModel()->index(row, column(c)).data().toString();
}

TEST(ChannelMonitorTest, FailingChannelComesFirstOnRedWithANegativeMargin)
{
    FakeSource source;
    for (std::uint16_t k = 0; k < 10; ++k)
        source.cycle(static_cast<std::uint16_t>(1990 + k % 2), 5);
    ChannelMonitor window(source, 0, 1);
    window.refresh();
    EXPECT_EQ(window.windowTitle(), "Monitor - Row 0 Col 1 - 8 channels");
    ASSERT_EQ(window.sortedModel()->rowCount(), 8);
    EXPECT_EQ(cell(window, 0, monitor::Column::Channel), "5");
    EXPECT_EQ(cell(window, 0, monitor::Column::Margin), "-300");
    EXPECT_EQ(cell(window, 0, monitor::Column::Pass), "FAIL");
    // The passing channels follow in the board's order, whatever their noise.
    for (int row = 1; row < 8; ++row)
        EXPECT_EQ(cell(window, row, monitor::Column::Channel), QString::number(row <= 5 ? row - 1 : row));
    const QBrush background = window.sortedModel()->index(0, 0).data(Qt::BackgroundRole).value<QBrush>();
    EXPECT_EQ(background.color(), QColor(255, 110, 110));
    EXPECT_FALSE(window.sortedModel()->index(1, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(window.summary()->text().startsWith("FAIL"));
    EXPECT_TRUE(window.summary()->text().contains("Worst: ch 5, margin -300"));
    EXPECT_GE(window.table()->font().pixelSize(), 14);
}

TEST(ChannelMonitorTest, SortsByAnyColumnNumerically)
{
    FakeSource source;
    source.cycle(1995);
    ChannelMonitor window(source, 0, 1);
    window.table()->sortByColumn(column(monitor::Column::Last), Qt::DescendingOrder);
    EXPECT_EQ(cell(window, 0, monitor::Column::Channel), "7");
    window.table()->sortByColumn(column(monitor::Column::Channel), Qt::AscendingOrder);
    EXPECT_EQ(cell(window, 0, monitor::Column::Channel), "0");
    EXPECT_EQ(cell(window, 7, monitor::Column::Channel), "7");
}

// The trend holds the counts the cycles produced, oldest first, and the limit lines lie at the
// channel's low and high across the whole time axis.
TEST(ChannelMonitorTest, TrendHoldsTheCountsAndTheLimitLines)
{
    FakeSource source;
    ChannelMonitor window(source, 0, 1);
    for (std::uint16_t k = 0; k < 5; ++k)
        source.cycle(static_cast<std::uint16_t>(1900 + 10 * k), 2);
    window.refresh();
    ASSERT_EQ(window.trend()->channels().size(), 1U);
    EXPECT_EQ(window.trend()->channels()[0].channel, 2);
    QLineSeries* counts = window.trend()->countsSeries(0);
    ASSERT_NE(counts, nullptr);
    ASSERT_EQ(counts->count(), 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(counts->at(k).y(), 1500);
        EXPECT_EQ(counts->at(k).x(), k + 1);
    }
    for (QLineSeries* line : {window.trend()->lowSeries(0), window.trend()->highSeries(0)}) {
        ASSERT_NE(line, nullptr);
        ASSERT_EQ(line->count(), 2);
        EXPECT_EQ(line->at(0).y(), line->at(1).y());
    }
    EXPECT_EQ(window.trend()->lowSeries(0)->at(0).y(), 1800);
    EXPECT_EQ(window.trend()->highSeries(0)->at(0).y(), 2200);

    // Selected rows choose the channels; paused, the trend keeps what it showed.
    window.table()->sortByColumn(column(monitor::Column::Channel), Qt::AscendingOrder);
    window.table()->selectRow(6);
    ASSERT_EQ(window.trend()->channels().size(), 1U);
    EXPECT_EQ(window.trend()->channels()[0].channel, 6);
    EXPECT_EQ(window.trend()->countsSeries(0)->at(4).y(), 1940 + 6);
    window.pauseButton()->click();
    source.cycle(1000);
    window.refresh();
    EXPECT_EQ(window.trend()->countsSeries(0)->count(), 5);
    window.pauseButton()->click();
    window.refresh();
    EXPECT_EQ(window.trend()->countsSeries(0)->count(), 6);
    EXPECT_EQ(window.trend()->countsSeries(0)->at(5).y(), 1006);
}

TEST(ChannelMonitorTest, WindowSizeChangesTheStatistics)
{
    FakeSource source;
    for (std::uint16_t k = 0; k < 20; ++k)
        source.cycle(static_cast<std::uint16_t>(1900 + k));
    ChannelMonitor window(source, 0, 1);
    window.table()->sortByColumn(column(monitor::Column::Channel), Qt::AscendingOrder);
    EXPECT_EQ(cell(window, 0, monitor::Column::Mean), "1909.5");
    window.windowSize()->setValue(2);
    EXPECT_EQ(cell(window, 0, monitor::Column::Mean), "1918.5");
    EXPECT_EQ(cell(window, 0, monitor::Column::PeakToPeak), "1");
}

TEST(ChannelMonitorTest, BoardNotJudgedShowsNotMeasured)
{
    FakeSource source;
    ChannelMonitor window(source, 2, 2);
    EXPECT_EQ(window.sortedModel()->rowCount(), 0);
    EXPECT_TRUE(window.summary()->text().startsWith("Not measured"));
}

TEST(ChannelMonitorTest, ExportsTheTableAsShownAndTheChartAsPng)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FakeSource source;
    source.cycle(2000, 3);
    ChannelMonitor window(source, 0, 1);
    window.resize(1000, 800);
    const QString csvPath = dir.filePath("table.csv");
    QString error;
    ASSERT_TRUE(window.exportCsv(csvPath, &error)) << error.toStdString();
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_GE(lines.size(), 9);
    EXPECT_TRUE(lines[0].startsWith("Channel,Mode,Reference,Low,High,Last,Mean"));
    EXPECT_TRUE(lines[1].startsWith("3,Open,2000,1800,2200,1500,"));

    const QString pngPath = dir.filePath("trend.png");
    ASSERT_TRUE(window.saveChartPng(pngPath, &error)) << error.toStdString();
    EXPECT_FALSE(QImage(pngPath).isNull());

    EXPECT_FALSE(window.exportCsv(dir.filePath("missing/t.csv"), &error));
    EXPECT_FALSE(error.isEmpty());
}

// Every word of the window is in the operator's language: the controls, the summary, the
// table's titles and modes, the trend's axes and series. A board not judged yet shows the
// not-measured summary instead.
struct LanguageCase {
    const char* name;
    bool english;
    bool judged;
};

class MonitorLanguage : public testing::TestWithParam<LanguageCase> {};

TEST_P(MonitorLanguage, EveryShownTextIsInTheChosenLanguage)
{
    FakeSource source;
    source.english = GetParam().english;
    const ChannelMode modes[] = {ChannelMode::Open, ChannelMode::Closed, ChannelMode::Masked,
                                 ChannelMode::LowerOnly, ChannelMode::UpperOnly};
    for (std::size_t i = 0; i < std::size(modes); ++i)
        source.panel.mask[i] = static_cast<std::uint8_t>(modes[i]); // every mode in the table once
    if (GetParam().judged)
        for (std::uint16_t k = 0; k < 4; ++k)
            source.cycle(static_cast<std::uint16_t>(1990 + k), 5);
    ChannelMonitor window(source, 0, 1);
    window.show();
    window.table()->selectAll(); // a trend series and limit lines for every channel
    window.refresh();

    std::vector<test::ShownText> shown = test::visibleTexts(window);
    for (const QAbstractAxis* axis : window.trend()->chart()->axes())
        shown.push_back({QStringLiteral("axis"), axis->titleText()});
    for (const QAbstractSeries* series : window.trend()->chart()->series())
        shown.push_back({QStringLiteral("series"), series->name()});
    EXPECT_EQ(window.trend()->chart()->series().isEmpty(), !GetParam().judged);
    // The table's cells are figures and the window's words for modes and verdicts.
    const auto wrong = test::wrongLanguage(shown, GetParam().english, true);
    EXPECT_TRUE(wrong.empty()) << test::describe(wrong);
}

INSTANTIATE_TEST_SUITE_P(Languages, MonitorLanguage,
                         testing::Values(LanguageCase{"EnglishJudged", true, true},
                                         LanguageCase{"ChineseJudged", false, true},
                                         LanguageCase{"EnglishNotMeasured", true, false},
                                         LanguageCase{"ChineseNotMeasured", false, false}),
                         [](const testing::TestParamInfo<LanguageCase>& param) { return param.param.name; });

// Keeps a picture of the window when STATION_SCREENSHOT_DIR is set, to look at it.
void keepPicture(QWidget& widget, const QString& name)
{
    if (const char* folder = std::getenv("STATION_SCREENSHOT_DIR"))
        widget.grab().save(QString::fromUtf8(folder) + QLatin1Char('/') + name);
}

// At the window's own size and maximised, every column title and every cell reads whole: a
// section narrower than its title or its widest cell elides it ("Refe…", "Lower o…"). The
// trend's count axis has room for five-digit counts.
struct FitCase {
    const char* name;
    bool english;
    QSize size; // empty: the window's own size
};

class MonitorFit : public testing::TestWithParam<FitCase> {};

TEST_P(MonitorFit, EveryTitleCellAndAxisLabelReadsWhole)
{
    FakeSource source;
    source.english = GetParam().english;
    const ChannelMode modes[] = {ChannelMode::Open, ChannelMode::Closed, ChannelMode::Masked,
                                 ChannelMode::LowerOnly, ChannelMode::UpperOnly};
    for (std::size_t i = 0; i < std::size(modes); ++i)
        source.panel.mask[i] = static_cast<std::uint8_t>(modes[i]);
    for (std::size_t i = 0; i < 64; ++i)
        source.panel.reference[i] = 40000;
    for (std::uint16_t k = 0; k < 4; ++k) // five-digit counts and drifts; the trend shows such a channel
        source.cycle(static_cast<std::uint16_t>(41000 + 997 * k));
    ChannelMonitor window(source, 0, 1);
    if (!GetParam().size.isEmpty())
        window.resize(GetParam().size);
    window.show();
    window.refresh();
    QCoreApplication::processEvents();
    keepPicture(window, QStringLiteral("monitor-%1.png").arg(QString::fromLatin1(GetParam().name)));
    EXPECT_LE(window.minimumSizeHint().width(), 1280) << "the summary line wraps on a narrow screen";

    const QTableView* table = window.table();
    const QHeaderView* header = table->horizontalHeader();
    const QFontMetrics headerFont(header->font());
    const QFontMetrics cellFont(table->font());
    const QAbstractItemModel* model = table->model();
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString title = model->headerData(c, Qt::Horizontal).toString();
        const int width = header->sectionSize(c);
        EXPECT_GE(width, headerFont.horizontalAdvance(title)) << "title \"" << title.toStdString() << '"';
        EXPECT_GE(width, header->sectionSizeHint(c)) << "title \"" << title.toStdString() << '"';
        for (int r = 0; r < model->rowCount(); ++r) {
            const QString text = model->index(r, c).data().toString();
            EXPECT_GE(width, cellFont.horizontalAdvance(text) + 6)
                << "cell \"" << text.toStdString() << "\" under \"" << title.toStdString() << '"';
        }
    }

    // The chart draws its axis labels as text items and elides those that find no room.
    int countLabels = 0;
    for (const QGraphicsItem* item : window.trend()->scene()->items()) {
        const auto* label = dynamic_cast<const QGraphicsTextItem*>(item);
        if (label == nullptr || !label->isVisible())
            continue;
        const QString text = label->toPlainText();
        EXPECT_FALSE(text.contains(QChar(0x2026)) || text.contains(QStringLiteral("...")))
            << "axis label \"" << text.toStdString() << '"';
        bool number = false;
        if (text.toInt(&number) >= 10000 && number)
            ++countLabels;
    }
    EXPECT_GE(countLabels, 2) << "five-digit count labels shown whole";
}

INSTANTIATE_TEST_SUITE_P(Sizes, MonitorFit,
                         testing::Values(FitCase{"English", true, QSize()},
                                         FitCase{"Chinese", false, QSize()},
                                         FitCase{"EnglishFullScreen", true, QSize(1920, 1040)},
                                         FitCase{"ChineseFullScreen", false, QSize(1920, 1040)}),
                         [](const testing::TestParamInfo<FitCase>& param) { return param.param.name; });

// A column the operator widened (to read a long mode name from a metre away, say) keeps its
// width through the refreshes that follow; the others still grow with their figures.
TEST(ChannelMonitorTest, AColumnTheOperatorWidenedKeepsItsWidth)
{
    FakeSource source;
    source.cycle(41000);
    ChannelMonitor window(source, 0, 1);
    window.resize(1280, 900);
    window.show();
    window.refresh();
    QCoreApplication::processEvents();
    QHeaderView* header = window.table()->horizontalHeader();
    const int column = static_cast<int>(monitor::Column::Mode);
    const int widened = header->sectionSize(column) + 80;
    header->resizeSection(column, widened); // as a drag of the section's edge does

    source.cycle(41500);
    window.refresh();
    window.refresh();
    QCoreApplication::processEvents();
    EXPECT_EQ(header->sectionSize(column), widened);
    const QFontMetrics cellFont(window.table()->font());
    const QAbstractItemModel* model = window.table()->model();
    for (int c = 0; c < model->columnCount(); ++c)
        for (int r = 0; r < model->rowCount(); ++r)
            EXPECT_GE(header->sectionSize(c),
                      cellFont.horizontalAdvance(model->index(r, c).data().toString()) + 6)
                << "column " << c << " row " << r;
}

TEST(MonitorWindowsTest, OneWindowPerBoardClosedTogether)
{
    FakeSource source;
    uikit::ParentlessWindows roster;
    MonitorWindows windows(source, roster);
    ChannelMonitor* first = windows.open(0, 1);
    EXPECT_EQ(windows.open(0, 1), first);
    EXPECT_NE(windows.open(1, 1), first);
    EXPECT_EQ(windows.open(4, 0), nullptr);
    EXPECT_EQ(windows.openCount(), 2);
    EXPECT_EQ(first->parent(), nullptr);
    roster.closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.openCount(), 0);
}

} // namespace
