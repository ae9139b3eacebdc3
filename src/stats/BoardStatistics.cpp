#include "stats/BoardStatistics.h"

#include <algorithm>

namespace stats {

BoardStatistics::BoardStatistics(std::size_t window, std::size_t history)
{
    channels_.fill(RollingWindow(window, history));
}

void BoardStatistics::push(std::span<const std::uint16_t> counts)
{
    const std::size_t n = std::min<std::size_t>(counts.size(), kChannels);
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < n; ++i)
        channels_[i].push(counts[i]);
    ++cycles_;
}

void BoardStatistics::clear()
{
    std::lock_guard lock(mutex_);
    for (RollingWindow& channel : channels_)
        channel.clear();
    cycles_ = 0;
}

void BoardStatistics::reset(std::size_t window, std::size_t history)
{
    std::lock_guard lock(mutex_);
    channels_.fill(RollingWindow(window, history));
    cycles_ = 0;
}

void BoardStatistics::setWindow(std::size_t window)
{
    std::lock_guard lock(mutex_);
    for (RollingWindow& channel : channels_)
        channel.setWindow(window);
}

BoardStatisticsSnapshot BoardStatistics::snapshot() const
{
    BoardStatisticsSnapshot result;
    std::lock_guard lock(mutex_);
    result.cycles = cycles_;
    result.window = channels_[0].window();
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        result.channels[i] = channels_[i].statistics();
        result.last[i] = channels_[i].last();
    }
    return result;
}

BoardTrend BoardStatistics::trend(std::span<const int> channels, std::size_t maxPoints) const
{
    BoardTrend result;
    result.counts.resize(channels.size());
    std::lock_guard lock(mutex_);
    result.cycles = cycles_;
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const int channel = channels[i];
        if (channel < 0 || channel >= kChannels)
            continue;
        std::vector<std::uint16_t>& series = result.counts[i];
        series.resize(maxPoints);
        series.resize(channels_[static_cast<std::size_t>(channel)].recent(series));
    }
    return result;
}

std::uint64_t BoardStatistics::cycles() const
{
    std::lock_guard lock(mutex_);
    return cycles_;
}

} // namespace stats
