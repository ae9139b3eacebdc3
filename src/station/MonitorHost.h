#pragma once

#include "monitor/MonitorFeed.h"
#include "monitor/MonitorSource.h"
#include "monitor/MonitorWindows.h"

class TestSetup;
namespace display {
class BoardGrid;
struct CycleResult;
struct BoardResult;
} // namespace display

// The station's channel monitors: the feed the acquisition cycle writes into, and the monitor
// windows that read it together with the grid's panels.
class MonitorHost : public MonitorSource {
public:
    // The monitor windows open through the roster, which closes them with the main window.
    MonitorHost(display::BoardGrid& grid, const TestSetup& setup, uikit::ParentlessWindows& roster);

    monitor::MonitorFeed& feed() { return feed_; }

    // One cycle's verdict (acquisition thread): every judged board feeds its statistics and
    // becomes its monitor's latest judgement; a board not measured shows no judgement. The
    // first cycle of an acquisition run clears the statistics.
    void cycleJudged(const display::CycleResult& result);
    // The judgement of one board as the monitor takes it; none for a board not judged.
    static std::optional<monitor::JudgedBoard> judgedBoard(const display::BoardResult& board);
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
