#pragma once

#include "ResultRecords.h"

#include <QString>

#include <vector>

// The words the operator reads for what the results file stores as record names: verdicts and
// channel modes in the interface language. The file and its exports keep the record names.
namespace resultsview {

// PASS, FAIL and LOAD are the station's banner words in both languages; a board not measured
// reads as on the grid.
QString verdictText(RunVerdict verdict, bool english);

// A channel's mode in the channel monitor's words; an unknown mode as its number.
QString modeText(int mode, bool english);

// The verdicts of a run's boards counted, "3 PASS, 1 FAIL"; verdicts without a board left out.
QString verdictCounts(const std::vector<RunVerdict>& verdicts, bool english);

} // namespace resultsview
