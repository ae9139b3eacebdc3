#include "stats/BoardRunTally.h"

#include <algorithm>

namespace stats {

void BoardRunTally::add(Verdict verdict, std::span<const ChannelSample> channels,
                        std::optional<double> pearson)
{
    if (verdict == Verdict::Pass)
        ++passed_;
    else if (verdict == Verdict::Load)
        ++load_;
    if (verdict == Verdict::NotMeasured || channels.empty())
        return; // no counts of this cycle
    ++judged_;
    if (pearson)
        lowestPearson_ = std::min(lowestPearson_.value_or(*pearson), *pearson);
    if (channels_.size() < channels.size())
        channels_.resize(channels.size());
    for (std::size_t i = 0; i < channels.size(); ++i) {
        Channel& c = channels_[i];
        const std::uint16_t count = channels[i].count;
        const bool first = c.sums.samples() == 0;
        c.min = first ? count : std::min(c.min, count);
        c.max = first ? count : std::max(c.max, count);
        c.last = count;
        c.pass = c.pass && channels[i].pass;
        c.sums.add(count);
    }
}

Verdict BoardRunTally::verdict(int runCycles) const
{
    if (judged_ == 0)
        return Verdict::NotMeasured;
    if (load_ == runCycles)
        return Verdict::Load;
    if (passed_ == runCycles)
        return Verdict::Pass;
    return Verdict::Fail;
}

int BoardRunTally::failedCycles(int runCycles) const
{
    return runCycles - passed_ - load_;
}

ChannelOverRun BoardRunTally::channel(std::size_t index) const
{
    ChannelOverRun result;
    if (index >= channels_.size())
        return result;
    const Channel& c = channels_[index];
    result.figures.samples = static_cast<std::uint32_t>(c.sums.samples());
    result.figures.mean = c.sums.mean();
    result.figures.min = c.min;
    result.figures.max = c.max;
    result.figures.stddev = c.sums.stddev();
    result.last = c.last;
    result.pass = c.pass;
    return result;
}

} // namespace stats
