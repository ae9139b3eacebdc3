#include "ResultsRecording.h"

#include "BrandTable.h"
#include "device/CUSBChannel.h"
#include "device/StorageMap.h"
#include "results/SetupHash.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"

#include <array>
#include <cstdio>
#include <unistd.h>
#include <utility>

#ifndef STATION_VERSION_TEXT
#define STATION_VERSION_TEXT "unknown"
#endif

namespace station {

std::string hostName()
{
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0 || name[0] == '\0')
        return "station";
    return name.data();
}

namespace {

std::string firmwareText(std::uint16_t version)
{
    // Four hex digits from the top nibble down: 0x0056 is 0.0.5.6.
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%X.%X.%X.%X", (version >> 12) & 15, (version >> 8) & 15,
                  (version >> 4) & 15, version & 15);
    return text.data();
}

} // namespace

RunVerdict runVerdict(display::BoardVerdict state)
{
    switch (state) {
    case display::BoardVerdict::Pass:
        return RunVerdict::Pass;
    case display::BoardVerdict::Fail:
        return RunVerdict::Fail;
    case display::BoardVerdict::Load:
        return RunVerdict::Load;
    case display::BoardVerdict::NotMeasured:
    case display::BoardVerdict::Loading:
        break;
    }
    return RunVerdict::NotMeasured;
}

RecorderCycle recorderCycle(const display::CycleResult& result)
{
    RecorderCycle cycle;
    cycle.time = result.time;
    cycle.boards.reserve(result.boards.size());
    for (const auto& b : result.boards) {
        RecorderBoard board;
        board.row = b.row;
        board.col = b.col;
        board.index = b.boardIndex;
        board.verdict = runVerdict(b.state);
        board.pearsonEnabled = b.pearsonEnabled;
        board.pearson = b.pearson;
        board.pearsonThreshold = b.pearsonThreshold;
        board.channels.reserve(b.channels.size());
        for (const auto& c : b.channels)
            board.channels.push_back({c.mode, c.reference, c.low, c.high, c.count, c.pass});
        cycle.boards.push_back(std::move(board));
    }
    return cycle;
}

ResultsRecording::ResultsRecording(StationContext& context, std::filesystem::path file, Callbacks callbacks,
                                   ResultsWriter::Options options)
    : ctx_(context), callbacks_(std::move(callbacks)),
      writer_(std::move(file),
              ResultsWriter::Callbacks{callbacks_.problem, callbacks_.recovered, callbacks_.recorded,
                                       callbacks_.pendingWrittenIn, callbacks_.keptAtExit},
              options),
      recorder_([this](TestRun run) { writer_.submit(std::move(run)); }), stationId_(hostName())
{
    subscription_ = ctx_.cycles.subscribe([this](const display::CycleResult& result) {
        // Nothing to copy unless a run takes this cycle.
        if (recorder_.running() && recorder_.feed(recorderCycle(result)) && callbacks_.taken)
            callbacks_.taken(result);
    });
}

ResultsRecording::~ResultsRecording()
{
    ctx_.cycles.unsubscribe(subscription_);
    const std::lock_guard lock(workerMutex_);
    if (worker_.joinable())
        worker_.join();
}

void ResultsRecording::setCycles(int cycles)
{
    cycles_ = std::clamp(cycles, 1, RunRecorder::kMaxCycles);
}

void ResultsRecording::setStationId(std::string stationId)
{
    const std::lock_guard lock(infoMutex_);
    stationId_ = std::move(stationId);
}

void ResultsRecording::setOperator(std::string operatorName)
{
    const std::lock_guard lock(infoMutex_);
    operator_ = std::move(operatorName);
}

bool ResultsRecording::busy() const
{
    return preparing_ || recorder_.running();
}

void ResultsRecording::cancel()
{
    recorder_.cancel();
}

bool ResultsRecording::startRun(std::map<int, std::string> serials)
{
    if (recorder_.running() || preparing_.exchange(true))
        return false;
    const std::lock_guard lock(workerMutex_);
    if (worker_.joinable())
        worker_.join(); // the previous preparation has ended: preparing_ was clear
    worker_ = std::thread([this, serials = std::move(serials)]() mutable { prepare(std::move(serials)); });
    return true;
}

void ResultsRecording::prepare(std::map<int, std::string> serials)
{
    RunRecorder::RunInfo info;
    {
        const std::lock_guard lock(infoMutex_);
        info.stationId = stationId_;
        info.operatorName = operator_;
    }
    info.stationVersion = STATION_VERSION_TEXT;
    info.serials = std::move(serials);
    info.deviceType = ctx_.setup.deviceType();
    info.firmwareVersion = firmwareText(ctx_.channel.firmwareInfo().version());

    Payload identity{};
    const auto image = readSetupImage(ctx_.ops);
    if (!image || !ctx_.channel.readIdentity(identity)) {
        preparing_ = false;
        if (callbacks_.notStarted)
            callbacks_.notStarted("the head's setup could not be read");
        return;
    }
    info.headGuid = formatGuid(identity.data() + storage::kIdentityGuidOffset);
    info.setupHash = setupHash(*image);
    // The cycle under way now may have read a board before the run was asked for: the run
    // starts with the one after it.
    recorder_.start(std::move(info), cycles_, 1);
    preparing_ = false;
}

} // namespace station
