#include "monitor/MonitorFeed.h"

#include <algorithm>
#include <span>

namespace monitor {

void MonitorFeed::boardJudged(int row, int col, const JudgedBoard& judged, int channels)
{
    if (!stats::GridStatistics::inStorage(row, col))
        return;
    const auto n = static_cast<std::size_t>(std::clamp(channels, 0, display::kChannels));
    statistics_.push(row, col, std::span(judged.counts).first(n));
    std::lock_guard lock(mutex_);
    latest_[index(row, col)] = judged;
}

std::optional<JudgedBoard> MonitorFeed::latest(int row, int col) const
{
    if (!stats::GridStatistics::inStorage(row, col))
        return std::nullopt;
    std::lock_guard lock(mutex_);
    return latest_[index(row, col)];
}

void MonitorFeed::forget(int row, int col)
{
    if (!stats::GridStatistics::inStorage(row, col))
        return;
    std::lock_guard lock(mutex_);
    latest_[index(row, col)].reset();
}

void MonitorFeed::forgetAll()
{
    std::lock_guard lock(mutex_);
    for (auto& judged : latest_)
        judged.reset();
}

} // namespace monitor
