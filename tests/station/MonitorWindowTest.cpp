// The channel monitor in the real main window against the simulated head.
#include "WindowRig.h"
#include "display/CColorBar.h"
#include "monitor/ChannelMonitor.h"
#include "monitor/ChannelTableModel.h"
#include "monitor/MonitorColumns.h"
#include "monitor/TrendChart.h"
#include "sim/DemoSetup.h"
#include "sim/PanelModel.h"
#include "station/CommandIds.h"
#include "uikit/ControlId.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kMonitorCommand = station::cmd::kChannelMonitor;

// A point inside board (row, col) of the 2 x 2 grid, in the window's coordinates.
QPoint boardPoint(WindowRig& rig, int row, int col)
{
    CColorBar* bar = rig.window.colorBar();
    const QPoint inView(bar->width() * (2 * col + 1) / 4, bar->height() * (2 * row + 1) / 4);
    return bar->mapTo(&rig.window, inView);
}

ChannelMonitor* openFromContextMenu(WindowRig& rig, int row, int col)
{
    QMenu* menu = rig.window.openContextMenu(boardPoint(rig, row, col), false);
    if (menu == nullptr)
        return nullptr;
    QAction* item = uikit::findCommand(menu, kMonitorCommand);
    if (item == nullptr || item != menu->actions().last())
        return nullptr;
    item->trigger();
    return rig.window.monitors().windows().find(row, col);
}

// The counts the demo head's panel of board k produces, read after read, for one channel.
std::vector<std::uint16_t> demoCounts(int board, int channels, int channel, int reads)
{
    std::vector<std::uint16_t> references(static_cast<std::size_t>(channels));
    for (int i = 0; i < channels; ++i)
        references[static_cast<std::size_t>(i)] = demo::referenceCount(board, i);
    PanelModel panel(references, demo::kPanelNoise, static_cast<std::uint32_t>(1000 + board));
    if (board == 3)
        panel.setDefect(
            demo::defectChannel(channels),
            static_cast<std::uint16_t>(demo::referenceCount(board, demo::defectChannel(channels)) * 7 / 10));
    std::vector<std::uint16_t> counts;
    for (int k = 0; k < reads; ++k)
        counts.push_back(panel.read(channels)[static_cast<std::size_t>(channel)]);
    return counts;
}

std::vector<std::uint16_t> seriesCounts(const QLineSeries* series)
{
    std::vector<std::uint16_t> counts;
    for (const QPointF& point : series->points())
        counts.push_back(static_cast<std::uint16_t>(point.y()));
    return counts;
}

TEST(MonitorWindow, ContextMenuItemOpensOneMonitorPerBoardTitledWithItsPosition)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.window.runCommand(32808); // English
    QMenu* menu = rig.window.openContextMenu(boardPoint(rig, 1, 0), false);
    ASSERT_NE(menu, nullptr);
    QAction* item = uikit::findCommand(menu, kMonitorCommand);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item, menu->actions().last());
    EXPECT_EQ(item->text(), QString::fromUtf8("通道监视 Channel Monitor(&M)\tM"));

    ChannelMonitor* monitor = openFromContextMenu(rig, 1, 0);
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->parent(), nullptr);
    EXPECT_TRUE(monitor->isVisible());
    ASSERT_TRUE(rig.pump([&] { return monitor->windowTitle() == "Monitor - Row 1 Col 0 - 40 channels"; }))
        << monitor->windowTitle().toStdString();
    EXPECT_EQ(openFromContextMenu(rig, 1, 0), monitor);
    EXPECT_NE(openFromContextMenu(rig, 0, 1), monitor);
    EXPECT_EQ(rig.window.monitors().windows().openCount(), 2);
}

// A monitor open while the operator switches the language follows it, where it stood: the
// window's words come from the language it was opened in, so it opens again in the new one.
TEST(MonitorWindow, OpenMonitorFollowsTheLanguageSwitch)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.window.runCommand(station::cmd::kChinese);
    ASSERT_NE(openFromContextMenu(rig, 1, 0), nullptr);
    const auto title = [&rig] {
        ChannelMonitor* monitor = rig.window.monitors().windows().find(1, 0);
        return monitor != nullptr && monitor->isVisible() ? monitor->windowTitle() : QString();
    };
    ASSERT_TRUE(rig.pump([&] { return title().startsWith(QString::fromUtf8("通道监视")); }))
        << title().toStdString();
    rig.window.monitors().windows().find(1, 0)->move(40, 30);

    rig.window.runCommand(station::cmd::kEnglish);
    EXPECT_TRUE(rig.pump([&] { return title().startsWith(QStringLiteral("Monitor - Row 1 Col 0")); }))
        << title().toStdString();
    EXPECT_EQ(rig.window.monitors().windows().openCount(), 1);
    ChannelMonitor* monitor = rig.window.monitors().windows().find(1, 0);
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->pos(), QPoint(40, 30)) << "the window stays where it stood";
    EXPECT_EQ(monitor->table()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Channel"));

    rig.window.runCommand(station::cmd::kChinese);
    EXPECT_TRUE(rig.pump([&] { return title().startsWith(QString::fromUtf8("通道监视")); }))
        << title().toStdString();
}

TEST(MonitorWindow, KeyMOpensTheMonitorOfTheBoardUnderTheMouse)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    CColorBar* bar = rig.window.colorBar();
    QCursor::setPos(rig.window.mapToGlobal(boardPoint(rig, 0, 1)));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_M, Qt::NoModifier, QStringLiteral("m"));
    QApplication::sendEvent(bar, &press);
    EXPECT_NE(rig.window.monitors().windows().find(0, 1), nullptr);
    EXPECT_EQ(rig.window.monitors().windows().openCount(), 1);
}

// The demo's last board has channel 13 reading far below its lower limit: the monitor shows it
// first, on red, with a negative margin; its trend holds what the head measured, between limit
// lines at the board's low and high for that channel.
TEST(MonitorWindow, DemoFailingChannelFirstWithItsTrendAndLimits)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    // Chinese texts: switching the language loads the boards again, and cycles while a board
    // loads are not judged, so their counts would be missing from the trend.
    ChannelMonitor* monitor = openFromContextMenu(rig, 1, 1);
    ASSERT_NE(monitor, nullptr);
    ASSERT_TRUE(rig.pump([&] {
        monitor->refresh();
        return monitor->sortedModel()->rowCount() == 40 && monitor->trend()->countsSeries(0) != nullptr &&
               monitor->trend()->countsSeries(0)->count() >= 5;
    }));
    const int defect = demo::defectChannel(40);
    ASSERT_EQ(defect, 13);
    const QAbstractItemModel* table = monitor->sortedModel();
    auto cell = [&](int row, monitor::Column column) {
        return table->index(row, static_cast<int>(column)).data().toString();
    };
    EXPECT_EQ(cell(0, monitor::Column::Channel), "13");
    EXPECT_EQ(cell(0, monitor::Column::Pass), "FAIL");
    EXPECT_LT(cell(0, monitor::Column::Margin).toInt(), 0);
    EXPECT_TRUE(table->index(0, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(cell(1, monitor::Column::Pass), "PASS");
    EXPECT_TRUE(monitor->summary()->text().startsWith("FAIL"));
    EXPECT_TRUE(monitor->summary()->text().contains(QString::fromUtf8("最差: 通道 13")));

    const display::BoardPanel& panel = rig.window.grid().panel(1, 1);
    monitor->pauseButton()->click(); // the series stay as they are while they are compared
    ASSERT_EQ(monitor->trend()->channels().size(), 1U);
    EXPECT_EQ(monitor->trend()->channels()[0].channel, 13);
    EXPECT_EQ(monitor->trend()->lowSeries(0)->at(0).y(), panel.thresholdLow[13].load());
    EXPECT_EQ(monitor->trend()->lowSeries(0)->at(1).y(), panel.thresholdLow[13].load());
    EXPECT_EQ(monitor->trend()->highSeries(0)->at(0).y(), panel.thresholdHigh[13].load());
    const std::vector<std::uint16_t> defectTrend = seriesCounts(monitor->trend()->countsSeries(0));
    const auto defectCount = static_cast<std::uint16_t>(demo::referenceCount(3, 13) * 7 / 10);
    EXPECT_TRUE(
        std::all_of(defectTrend.begin(), defectTrend.end(), [&](auto c) { return c == defectCount; }));

    // A noisy channel: its trend is a run of consecutive reads of the head's panel (every
    // cycle since the loop started was judged).
    monitor->pauseButton()->click();
    monitor->table()->sortByColumn(static_cast<int>(monitor::Column::Channel), Qt::AscendingOrder);
    monitor->table()->selectRow(12);
    monitor->pauseButton()->click();
    ASSERT_EQ(monitor->trend()->channels()[0].channel, 12);
    const std::vector<std::uint16_t> noisy = seriesCounts(monitor->trend()->countsSeries(0));
    ASSERT_GE(noisy.size(), 5U);
    const std::vector<std::uint16_t> produced = demoCounts(3, 40, 12, 5000);
    EXPECT_NE(std::search(produced.begin(), produced.end(), noisy.begin(), noisy.end()), produced.end());
}

// Closing the main window closes every monitor, so the last window is gone and the event loop
// (and with it the program) ends.
TEST(MonitorWindow, ClosingTheMainWindowClosesTheMonitorsAndEndsTheProgram)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    QPointer<ChannelMonitor> first = openFromContextMenu(rig, 0, 0);
    QPointer<ChannelMonitor> second = openFromContextMenu(rig, 1, 1);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(QGuiApplication::quitOnLastWindowClosed());
    bool timedOut = false;
    QTimer::singleShot(100, &rig.window, [&] { rig.window.close(); });
    QTimer::singleShot(15000, qApp, [&] {
        timedOut = true;
        QCoreApplication::exit(99);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
}

} // namespace
