#include "MeasureTally.h"

#include "setup/ChannelMode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cli {

MeasureTally::BoardAccumulator& MeasureTally::board(const display::BoardResult& result)
{
    for (BoardAccumulator& b : boards_)
        if (b.info.row == result.row && b.info.col == result.col)
            return b;
    BoardAccumulator& b = boards_.emplace_back();
    b.info.row = result.row;
    b.info.col = result.col;
    return b;
}

void MeasureTally::add(const display::CycleResult& result)
{
    std::lock_guard lock(mutex_);
    ++cycles_;
    for (const display::BoardResult& r : result.boards) {
        BoardAccumulator& b = board(r);
        ++b.cycles;
        b.info.index = r.boardIndex;
        b.info.channelCount = r.channelCount;
        switch (r.state) {
        case display::BoardVerdict::Pass:
            ++b.passCycles;
            break;
        case display::BoardVerdict::Load:
            ++b.loadCycles;
            break;
        default:
            ++b.info.failedCycles; // failed, or not measured in this cycle
            break;
        }
        if (r.channels.empty())
            continue; // not judged: no counts of this cycle
        ++b.info.measuredCycles;
        if (r.pearsonEnabled) {
            b.info.pearson = std::min(b.info.pearson.value_or(r.pearson), r.pearson);
            b.info.pearsonThreshold = r.pearsonThreshold;
        }
        for (int channel : r.failingChannels)
            if (std::find(b.info.failing.begin(), b.info.failing.end(), channel) == b.info.failing.end())
                b.info.failing.push_back(channel);
        if (b.channels.size() < r.channels.size())
            b.channels.resize(r.channels.size());
        for (std::size_t i = 0; i < r.channels.size(); ++i) {
            const display::ChannelResult& c = r.channels[i];
            ChannelAccumulator& a = b.channels[i];
            ChannelSummary& s = a.latest;
            s.channel = static_cast<int>(i);
            s.mode = c.mode;
            s.reference = c.reference;
            s.low = c.low;
            s.high = c.high;
            s.last = c.count;
            s.min = s.samples == 0 ? c.count : std::min(s.min, c.count);
            s.max = s.samples == 0 ? c.count : std::max(s.max, c.count);
            s.pass = s.pass && c.pass;
            ++s.samples;
            a.sum += c.count;
            a.sumSquares += static_cast<std::uint64_t>(c.count) * c.count;
        }
    }
}

int MeasureTally::cycles() const
{
    std::lock_guard lock(mutex_);
    return cycles_;
}

std::vector<BoardSummary> MeasureTally::summary() const
{
    std::lock_guard lock(mutex_);
    std::vector<BoardSummary> boards;
    for (const BoardAccumulator& b : boards_) {
        BoardSummary s = b.info;
        // A board missing from some cycles was not measured there.
        s.failedCycles += cycles_ - b.cycles;
        if (s.measuredCycles == 0)
            s.verdict = "NOT_MEASURED";
        else if (b.loadCycles == cycles_)
            s.verdict = "LOAD";
        else if (b.passCycles == cycles_)
            s.verdict = "PASS";
        else
            s.verdict = "FAIL";
        std::sort(s.failing.begin(), s.failing.end());
        for (const ChannelAccumulator& a : b.channels) {
            ChannelSummary c = a.latest;
            if (c.samples > 0) {
                // From the exact integer sums: n * sum(x^2) - sum(x)^2 cancels nothing away.
                const auto n = static_cast<long double>(c.samples);
                const auto sum = static_cast<long double>(a.sum);
                const long double spread = n * static_cast<long double>(a.sumSquares) - sum * sum;
                c.mean = static_cast<double>(sum / n);
                c.sd = spread > 0 ? static_cast<double>(std::sqrt(spread) / n) : 0.0;
            }
            s.channels.push_back(c);
        }
        boards.push_back(std::move(s));
    }
    std::sort(boards.begin(), boards.end(), [](const BoardSummary& a, const BoardSummary& b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    });
    return boards;
}

bool MeasureTally::allPassed(const std::vector<BoardSummary>& boards)
{
    return !boards.empty() && std::all_of(boards.begin(), boards.end(),
                                          [](const BoardSummary& b) { return b.verdict == "PASS"; });
}

std::string modeName(std::uint8_t mode)
{
    switch (static_cast<ChannelMode>(mode)) {
    case ChannelMode::Open:
        return "open";
    case ChannelMode::Closed:
        return "closed";
    case ChannelMode::Masked:
        return "masked";
    case ChannelMode::LowerOnly:
        return "lowerOnly";
    case ChannelMode::UpperOnly:
        return "upperOnly";
    }
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", mode);
    return text;
}

} // namespace cli
