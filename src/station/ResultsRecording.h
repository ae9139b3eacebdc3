#pragma once

#include "StationContext.h"
#include "display/CycleResult.h"
#include "results/ResultsWriter.h"
#include "results/RunRecorder.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace station {

// Test runs of the station: on request it reads the head's identity and setup (for the setup
// hash) on a worker thread, arms the run recorder for the next N cycles, and hands every
// finished run to the results writer. Neither the GUI thread nor the acquisition thread ever
// waits for the head's setup or for the disk.
class ResultsRecording {
public:
    struct Callbacks {
        // Once per outage of the results file (writer thread): reason, runs kept in memory.
        std::function<void(const std::string& reason, std::size_t waiting)> problem;
        // The runs kept in memory have landed (writer thread).
        std::function<void()> recovered;
        // A run has been written (writer thread).
        std::function<void(const TestRun& run)> recorded;
        // Runs kept at an earlier exit have been written in, or their file is damaged (writer
        // thread, at the start).
        std::function<void(const PendingWriteIn&)> pendingWrittenIn;
        // Runs that could not be written before the end: kept in the pending file, or not (writer
        // thread, during the destructor).
        std::function<void(const PendingKept&)> keptAtExit;
        // A run could not start: the head's setup could not be read (worker thread).
        std::function<void(const std::string& reason)> notStarted;
        // A cycle the run takes, after the recorder has (acquisition thread): what the run
        // covers, for a caller that shows the same cycles.
        std::function<void(const display::CycleResult& result)> taken;
    };

    ResultsRecording(StationContext& context, std::filesystem::path file, Callbacks callbacks,
                     ResultsWriter::Options options = {});
    // Waits for a run being prepared, then for the writer's last attempt; runs still not
    // written are kept in the pending file.
    ~ResultsRecording();
    ResultsRecording(const ResultsRecording&) = delete;
    ResultsRecording& operator=(const ResultsRecording&) = delete;

    // Cycles a run covers (1..RunRecorder::kMaxCycles, default 5).
    void setCycles(int cycles);
    int cycles() const { return cycles_.load(); }
    // Station id (default: the host name) and operator (default: empty).
    void setStationId(std::string stationId);
    void setOperator(std::string operatorName);

    // Starts a run for the given serials (by board index). False while a run is being prepared
    // or taken.
    bool startRun(std::map<int, std::string> serials = {});
    bool busy() const;
    // Drops the run being taken (the head went away).
    void cancel();

    // One judged cycle (acquisition thread). The recording subscribes to the station's cycles
    // itself; tests feed their own.
    void feed(const RecorderCycle& cycle) { recorder_.feed(cycle); }

    ResultsWriter& writer() { return writer_; }
    const std::filesystem::path& file() const { return writer_.file(); }

private:
    void prepare(std::map<int, std::string> serials);

    StationContext& ctx_;
    Callbacks callbacks_;
    ResultsWriter writer_;
    RunRecorder recorder_;
    std::atomic<int> cycles_{RunRecorder::kDefaultCycles};
    std::atomic<bool> preparing_{false};
    mutable std::mutex infoMutex_;
    std::string stationId_;
    std::string operator_;
    std::mutex workerMutex_;
    std::thread worker_;
    CycleObservers::Token subscription_ = 0;
};

// A board's verdict in a cycle as a run takes it: one still loading was not measured.
RunVerdict runVerdict(display::BoardVerdict state);

// A cycle's judgement as the run recorder takes it.
RecorderCycle recorderCycle(const display::CycleResult& result);

// The host name, or "station" when it cannot be had.
std::string hostName();

} // namespace station
