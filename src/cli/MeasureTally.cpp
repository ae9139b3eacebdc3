#include "MeasureTally.h"

#include "results/ResultRecords.h"
#include "setup/ChannelMode.h"
#include "station/ResultsRecording.h"

#include <algorithm>
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
        b.info.index = r.boardIndex;
        b.info.channelCount = r.channelCount;
        std::vector<stats::ChannelSample> samples;
        samples.reserve(r.channels.size());
        for (const display::ChannelResult& c : r.channels)
            samples.push_back({c.count, c.pass});
        b.run.add(station::runVerdict(r.state), samples,
                  r.pearsonEnabled ? std::optional(r.pearson) : std::nullopt);
        if (r.channels.empty())
            continue; // not judged: no counts of this cycle
        if (r.pearsonEnabled)
            b.info.pearsonThreshold = r.pearsonThreshold;
        for (int channel : r.failingChannels)
            if (std::find(b.info.failing.begin(), b.info.failing.end(), channel) == b.info.failing.end())
                b.info.failing.push_back(channel);
        if (b.setup.size() < r.channels.size())
            b.setup.resize(r.channels.size());
        for (std::size_t i = 0; i < r.channels.size(); ++i) {
            const display::ChannelResult& c = r.channels[i];
            ChannelSummary& s = b.setup[i];
            s.channel = static_cast<int>(i);
            s.mode = c.mode;
            s.reference = c.reference;
            s.low = c.low;
            s.high = c.high;
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
        s.verdict = verdictName(b.run.verdict(cycles_));
        s.failedCycles = b.run.failedCycles(cycles_);
        s.measuredCycles = b.run.judgedCycles();
        s.pearson = b.run.lowestPearson();
        std::sort(s.failing.begin(), s.failing.end());
        for (std::size_t i = 0; i < b.setup.size(); ++i) {
            const stats::ChannelOverRun figures = b.run.channel(i);
            ChannelSummary c = b.setup[i];
            c.last = figures.last;
            c.mean = figures.figures.mean;
            c.min = figures.figures.min;
            c.max = figures.figures.max;
            c.sd = figures.figures.stddev;
            c.pass = figures.pass;
            c.samples = static_cast<int>(figures.figures.samples);
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
