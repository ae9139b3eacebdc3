#pragma once

#include "ResultRecords.h"
#include "stats/BoardRunTally.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// What one acquisition cycle judged, as the recorder takes it: every shown board with its
// verdict and, when it was judged, every channel's count and judgement.
struct RecorderChannel {
    int mode = 0;
    int reference = 0;
    int low = 0;
    int high = 0;
    std::uint16_t count = 0;
    bool pass = true; // false only for a judged channel outside its limits
};

struct RecorderBoard {
    int row = 0;
    int col = 0;
    int index = 0;
    RunVerdict verdict = RunVerdict::NotMeasured; // of this cycle
    bool pearsonEnabled = false;
    double pearson = 0.0;
    double pearsonThreshold = 0.0;
    std::vector<RecorderChannel> channels; // the board's channels; empty when not measured
};

struct RecorderCycle {
    std::chrono::system_clock::time_point time;
    std::vector<RecorderBoard> boards; // every shown board
};

// A test run: armed on request, it takes the next N cycles of every shown board and then hands
// one TestRun with a result per board to `finished`. Fed by the acquisition thread; started
// and cancelled from any thread.
//
// A board's verdict over the run is stats::BoardRunTally's: PASS only when it passed in every
// cycle of the run (a cycle that did not measure it fails). A channel passes when it passed in
// every cycle that judged the board; its mean, min, max and standard deviation are those of its
// counts over those cycles. The Pearson figure kept is the lowest coefficient of the run.
class RunRecorder {
public:
    static constexpr int kDefaultCycles = 5;
    static constexpr int kMaxCycles = 4096;

    // Everything of a run that does not come from the cycles.
    struct RunInfo {
        std::string stationId;
        std::string operatorName;
        std::string headGuid;
        std::string deviceType;
        std::string firmwareVersion;
        std::string stationVersion;
        std::string setupHash;
        std::map<int, std::string> serials; // by board index
    };
    using Finished = std::function<void(TestRun)>;

    explicit RunRecorder(Finished finished);

    // Arms a run over `cycles` cycles (1..kMaxCycles) after the next `skip` ones (the station skips
    // the cycle under way, which may have read a board before the run was asked for). False
    // when one is already going.
    bool start(RunInfo info, int cycles = kDefaultCycles, int skip = 0);
    bool running() const;
    // Drops the run in progress (the head went away, for example).
    void cancel();

    // One judged cycle. Ends the run after its last cycle and calls `finished` on this thread.
    // True when the run took the cycle.
    bool feed(const RecorderCycle& cycle);

private:
    struct BoardTally {
        RecorderBoard last; // the latest judged cycle (position, modes, limits)
        stats::BoardRunTally run;
    };

    TestRun finish();

    Finished finished_;
    mutable std::mutex mutex_;
    bool running_ = false;
    int cyclesWanted_ = 0;
    int cyclesTaken_ = 0;
    int toSkip_ = 0;
    RunInfo info_;
    std::string startedAt_;
    std::map<int, BoardTally> boards_; // by board index
};
