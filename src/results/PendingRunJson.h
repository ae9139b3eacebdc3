#pragma once

#include "ResultRecords.h"

#include <cstddef>
#include <string>
#include <vector>

// The lines of a pending file (PendingRuns.h): one run per line as one JSON object with the
// run's fields in lower camel case, every board with its channel rows inside, and
// "schema": "pending-run-1". Reading is strict: a line with a field missing or of the wrong
// kind is damage, never a run with made-up figures.

// One line of a pending file that could not be read.
struct PendingDamage {
    std::size_t line = 0; // from 1
    std::string reason;
};

// One run as one line of a pending file (without the line end).
std::string pendingLine(const TestRun& run);

// The runs in a pending file, and the lines that could not be read.
struct PendingRead {
    std::vector<TestRun> runs;
    std::vector<PendingDamage> damage;
};
PendingRead parsePendingRuns(const std::string& content);
