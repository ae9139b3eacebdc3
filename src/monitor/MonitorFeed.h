#pragma once

#include "monitor/MonitorRows.h"
#include "stats/GridStatistics.h"

#include <array>
#include <mutex>
#include <optional>

// What the acquisition cycle hands to the monitors: every judged board's counts go into the
// rolling statistics, and the latest judgement of each position is kept for the windows. The
// cycle writes, the GUI thread reads; a lock per call keeps a board's judgement whole.
namespace monitor {

class MonitorFeed {
public:
    MonitorFeed() = default;
    MonitorFeed(const MonitorFeed&) = delete;
    MonitorFeed& operator=(const MonitorFeed&) = delete;

    // One judged board of a cycle; channels is the board's channel count (at most 64). A
    // position outside the 4 x 4 storage is ignored.
    void boardJudged(int row, int col, const JudgedBoard& judged, int channels);

    // The latest judgement of a position; none before the first or after forget().
    std::optional<JudgedBoard> latest(int row, int col) const;

    // A position no longer judged (grid shrunk, head gone): its last judgement is not shown as
    // current any more. Statistics stay until clearStatistics().
    void forget(int row, int col);
    void forgetAll();
    void clearStatistics() { statistics_.clear(); }

    stats::GridStatistics& statistics() { return statistics_; }

private:
    static std::size_t index(int row, int col)
    {
        return static_cast<std::size_t>(row) * 4 + static_cast<std::size_t>(col);
    }

    stats::GridStatistics statistics_;
    mutable std::mutex mutex_;
    std::array<std::optional<JudgedBoard>, 16> latest_;
};

} // namespace monitor
