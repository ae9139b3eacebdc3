#pragma once

#include "stats/BoardRunTally.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One test run as it is stored: the run, one result per shown board, one row per channel.
// Times are UTC in ISO 8601 with milliseconds ("2026-03-01T08:15:02.123Z"), so that text order
// is time order.

// A board's verdict over a run (stats::BoardRunTally judges it); the stored text is the name in
// upper case with underscores.
using RunVerdict = stats::Verdict;

std::string_view verdictName(RunVerdict verdict);            // "PASS", "FAIL", "LOAD", "NOT_MEASURED"
std::optional<RunVerdict> verdictFromName(std::string_view); // nullopt for any other text

struct ChannelResult {
    int channel = 0;
    int mode = 0; // ChannelMode value: 0 Open, 1 Closed, 2 Masked, 4 LowerOnly, 8 UpperOnly
    int reference = 0;
    int low = 0;  // thresholdLow
    int high = 0; // thresholdHigh
    double mean = 0.0;
    int min = 0;
    int max = 0;
    double sd = 0.0; // standard deviation of the raw counts over the run's cycles
    bool pass = true;

    friend bool operator==(const ChannelResult&, const ChannelResult&) = default;
};

struct BoardResult {
    int row = 0;
    int col = 0;
    int index = 0; // board index: gridCols * row + col
    std::string serial;
    RunVerdict verdict = RunVerdict::NotMeasured;
    int failedCycles = 0;
    // Both set only when the board's Pearson check is enabled.
    std::optional<double> pearson;
    std::optional<double> pearsonThreshold;
    std::vector<ChannelResult> channels;

    friend bool operator==(const BoardResult&, const BoardResult&) = default;
};

struct TestRun {
    std::string id; // UUID
    std::string startedAt;
    std::string endedAt;
    std::string stationId;
    std::string operatorName;
    std::string headGuid;
    std::string deviceType;
    std::string firmwareVersion;
    std::string stationVersion;
    std::string setupHash; // SHA-256 of the head's setup image, 64 lower-case hex digits
    int cycleCount = 0;
    std::vector<BoardResult> boards;

    friend bool operator==(const TestRun&, const TestRun&) = default;
};

// A random (version 4) UUID in its usual text form.
std::string newRunId();
// A start time for filters as the stored times compare with it: "YYYY-MM-DD", optionally
// followed by 'T' or a blank and "hh:mm", "hh:mm:ss" or "hh:mm:ss.mmm" (and a trailing 'Z'),
// all UTC. nullopt for anything else, so that a typo never filters silently.
std::optional<std::string> isoSince(std::string_view text);

// A clock time, and the current time, in the stored form.
std::string isoTime(std::chrono::system_clock::time_point time);
std::string utcNowIso();
