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
    cyclesWanted_ = std::clamp(cycles, 1, static_cast<int>(stats::RollingWindow::kMaxWindow));
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

void RunRecorder::feed(const RecorderCycle& cycle)
{
    std::optional<TestRun> done;
    {
        const std::lock_guard lock(mutex_);
        if (!running_)
            return;
        if (toSkip_ > 0) {
            --toSkip_;
            return;
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
            const bool judged = board.verdict != RunVerdict::NotMeasured && !board.channels.empty();
            if (!judged)
                continue;
            tally.last = board;
            ++tally.judged;
            if (board.verdict == RunVerdict::Fail)
                ++tally.failed;
            if (board.verdict == RunVerdict::Load)
                ++tally.load;
            if (board.pearsonEnabled)
                tally.lowestPearson = std::min(tally.lowestPearson.value_or(board.pearson), board.pearson);
            if (tally.counts.size() < board.channels.size()) {
                tally.counts.resize(board.channels.size(),
                                    stats::RollingWindow(static_cast<std::size_t>(cyclesWanted_)));
                tally.channelPass.resize(board.channels.size(), true);
            }
            for (std::size_t c = 0; c < board.channels.size(); ++c) {
                tally.counts[c].push(board.channels[c].count);
                if (!board.channels[c].pass)
                    tally.channelPass[c] = false;
            }
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
        if (tally.judged == 0)
            board.verdict = RunVerdict::NotMeasured;
        else if (tally.failed > 0)
            board.verdict = RunVerdict::Fail;
        else if (tally.load > 0)
            board.verdict = RunVerdict::Load;
        else
            board.verdict = RunVerdict::Pass;
        board.failedCycles = tally.failed;
        if (tally.lowestPearson && tally.last.pearsonEnabled) {
            board.pearson = tally.lowestPearson;
            board.pearsonThreshold = tally.last.pearsonThreshold;
        }
        for (std::size_t c = 0; c < tally.last.channels.size() && c < tally.counts.size(); ++c) {
            const auto& source = tally.last.channels[c];
            const auto figures = tally.counts[c].statistics();
            ChannelResult channel;
            channel.channel = static_cast<int>(c);
            channel.mode = source.mode;
            channel.reference = source.reference;
            channel.low = source.low;
            channel.high = source.high;
            channel.mean = figures.mean;
            channel.min = figures.min;
            channel.max = figures.max;
            channel.sd = figures.stddev;
            channel.pass = tally.channelPass[c];
            board.channels.push_back(channel);
        }
        run.boards.push_back(std::move(board));
    }
    return run;
}
