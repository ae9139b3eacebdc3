#include "RunRecorder.h"

#include <algorithm>
#include <utility>

RunRecorder::RunRecorder(Finished finished) : finished_(std::move(finished)) {}

bool RunRecorder::start(RunInfo info, int cycles, int skip)
{
    const std::lock_guard lock(mutex_);
    if (running_)
        return false;
    running_ = true;
    cyclesWanted_ = std::clamp(cycles, 1, kMaxCycles);
    cyclesTaken_ = 0;
    toSkip_ = std::max(skip, 0);
    info_ = std::move(info);
    startedAt_.clear();
    boards_.clear();
    return true;
}

bool RunRecorder::running() const
{
    const std::lock_guard lock(mutex_);
    return running_;
}

void RunRecorder::cancel()
{
    const std::lock_guard lock(mutex_);
    running_ = false;
    boards_.clear();
}

bool RunRecorder::feed(const RecorderCycle& cycle)
{
    std::optional<TestRun> done;
    {
        const std::lock_guard lock(mutex_);
        if (!running_)
            return false;
        if (toSkip_ > 0) {
            --toSkip_;
            return false;
        }
        if (cyclesTaken_ == 0)
            startedAt_ = isoTime(cycle.time);
        ++cyclesTaken_;
        for (const auto& board : cycle.boards) {
            auto [it, added] = boards_.try_emplace(board.index);
            auto& tally = it->second;
            if (added || tally.last.channels.empty()) {
                tally.last.row = board.row;
                tally.last.col = board.col;
                tally.last.index = board.index;
            }
            std::vector<stats::ChannelSample> channels;
            channels.reserve(board.channels.size());
            for (const RecorderChannel& c : board.channels)
                channels.push_back({c.count, c.pass});
            tally.run.add(board.verdict, channels,
                          board.pearsonEnabled ? std::optional(board.pearson) : std::nullopt);
            if (board.verdict != RunVerdict::NotMeasured && !board.channels.empty())
                tally.last = board;
        }
        if (cyclesTaken_ >= cyclesWanted_) {
            TestRun run = finish();
            run.endedAt = isoTime(cycle.time);
            done = std::move(run);
            running_ = false;
            boards_.clear();
        }
    }
    if (done && finished_)
        finished_(std::move(*done));
    return true;
}

TestRun RunRecorder::finish()
{
    TestRun run;
    run.id = newRunId();
    run.startedAt = startedAt_;
    run.stationId = info_.stationId;
    run.operatorName = info_.operatorName;
    run.headGuid = info_.headGuid;
    run.deviceType = info_.deviceType;
    run.firmwareVersion = info_.firmwareVersion;
    run.stationVersion = info_.stationVersion;
    run.setupHash = info_.setupHash;
    run.cycleCount = cyclesTaken_;
    for (const auto& [index, tally] : boards_) {
        BoardResult board;
        board.row = tally.last.row;
        board.col = tally.last.col;
        board.index = index;
        if (const auto serial = info_.serials.find(index); serial != info_.serials.end())
            board.serial = serial->second;
        board.verdict = tally.run.verdict(cyclesTaken_);
        board.failedCycles = tally.run.failedCycles(cyclesTaken_);
        if (tally.run.lowestPearson() && tally.last.pearsonEnabled) {
            board.pearson = tally.run.lowestPearson();
            board.pearsonThreshold = tally.last.pearsonThreshold;
        }
        for (std::size_t c = 0; c < tally.last.channels.size() && c < tally.run.channelCount(); ++c) {
            const auto& source = tally.last.channels[c];
            const auto figures = tally.run.channel(c);
            ChannelResult channel;
            channel.channel = static_cast<int>(c);
            channel.mode = source.mode;
            channel.reference = source.reference;
            channel.low = source.low;
            channel.high = source.high;
            channel.mean = figures.figures.mean;
            channel.min = figures.figures.min;
            channel.max = figures.figures.max;
            channel.sd = figures.figures.stddev;
            channel.pass = figures.pass;
            board.channels.push_back(channel);
        }
        run.boards.push_back(std::move(board));
    }
    return run;
}
