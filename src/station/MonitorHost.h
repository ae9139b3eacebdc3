#pragma once

#include "monitor/MonitorFeed.h"
#include "monitor/MonitorSource.h"
#include "monitor/MonitorWindows.h"

class TestSetup;
namespace display {
class BoardGrid;
}

// The station's channel monitors: the feed the acquisition cycle writes into, and the monitor
// windows that read it together with the grid's panels.
class MonitorHost : public MonitorSource {
public:
    // The monitor windows open through the roster, which closes them with the main window.
    MonitorHost(display::BoardGrid& grid, const TestSetup& setup, uikit::ParentlessWindows& roster);

    monitor::MonitorFeed& feed() { return feed_; }
    MonitorWindows& windows() { return windows_; }

    std::optional<monitor::MonitorInput> monitorInput(int row, int col) const override;
    stats::BoardStatistics& statistics(int row, int col) const override;
    bool englishUi() const override;

private:
    display::BoardGrid& grid_;
    const TestSetup& setup_;
    mutable monitor::MonitorFeed feed_;
    MonitorWindows windows_;
};
