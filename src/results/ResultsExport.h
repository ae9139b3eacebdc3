#pragma once

#include "ResultsStore.h"
#include "ResultsSummary.h"

#include <nlohmann/json_fwd.hpp>
#include <ostream>
#include <string>

// Export of board results for spreadsheets and scripts. Both formats carry one record per
// board result with the fields of its run; field names are the lower camel case names of the
// stored columns.

// CSV (RFC 4180 quoting, CRLF line ends): a header line, then one line per board result; its
// channel rows are summed up as the list of failed channels (space-separated numbers).
void exportCsv(ResultsStore& store, const ResultsStore::Filter& filter, std::ostream& out);
// JSON: an array with one object per board result, its channel rows in "channels".
void exportJson(ResultsStore& store, const ResultsStore::Filter& filter, std::ostream& out);

// One board result (run.boards[0]) as exported.
nlohmann::json boardResultJson(const TestRun& run);
// The channel mode's name ("Open", "Closed", "Masked", "LowerOnly", "UpperOnly"), or its number.
std::string channelModeName(int mode);

nlohmann::json summaryJson(const ResultsSummary& summary);
// The summary as text for a terminal: one line per position, then the Pareto list.
void writeSummaryText(const ResultsSummary& summary, std::ostream& out);
