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
