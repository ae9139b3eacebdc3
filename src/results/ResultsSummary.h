#pragma once

#include "ResultsStore.h"

#include <optional>
#include <vector>

// Yield per board position and the channels that fail most, over the runs a filter selects
// (filter.since, filter.serial; filter.limit latest runs, negative for all).
struct PositionYield {
    int index = 0;
    int row = 0;
    int col = 0;
    int tested = 0; // board results at this position
    int passed = 0;
    int failed = 0;
    int load = 0;
    int notMeasured = 0;
    // passed / (passed + failed); nullopt when no board was judged PASS or FAIL.
    std::optional<double> yield() const;
};

struct ChannelFailures {
    int boardIndex = 0;
    int channel = 0;
    int failures = 0; // board results in which this channel failed
};

struct ResultsSummary {
    int runs = 0;
    std::vector<PositionYield> positions; // by board index
    std::vector<ChannelFailures> pareto;  // most failures first, at most paretoLength
};

ResultsSummary summariseResults(ResultsStore& store, const ResultsStore::Filter& filter,
                                int paretoLength = 10);
