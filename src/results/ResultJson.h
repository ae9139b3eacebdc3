#pragma once

#include "ResultRecords.h"

#include <nlohmann/json.hpp>
#include <optional>

// The JSON fields of a test run, a board result and a channel row, named as the stored columns
// in lower camel case. The export and the pending file both build on them, so the two documents
// cannot drift apart field by field.

// A number, or null.
nlohmann::json optionalJson(const std::optional<double>& value);

// The run's own fields (runId .. cycleCount), without its boards.
nlohmann::json runFieldsJson(const TestRun& run);
// The board result's own fields (row .. pearsonThreshold), without its channels.
nlohmann::json boardFieldsJson(const BoardResult& board);
// A channel row; `mode` as the document wants it (the mode's number or its name).
nlohmann::json channelJson(const ChannelResult& channel, nlohmann::json mode);
