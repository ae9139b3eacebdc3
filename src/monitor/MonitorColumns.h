#pragma once

#include "monitor/MonitorRows.h"

#include <array>
#include <string>
#include <vector>

// The columns of the channel table, their texts in both languages and how each cell reads, so
// the window and the CSV export show exactly the same figures.
namespace monitor {

enum class Column {
    Channel,
    Mode,
    Reference,
    Low,
    High,
    Last,
    Mean,
    StdDev,
    PeakToPeak,
    Drift,
    DriftPercent,
    Margin,
    MarginSigma,
    Pass,
};
inline constexpr int kColumnCount = 14;

std::string columnTitle(Column column, bool english);

// The cell as shown; numbers use '.' whatever the locale. Figures that do not exist (no sample
// yet, channel not judged, no noise) read "-".
std::string cellText(const ChannelRow& row, Column column, bool english);

// Sort key of a cell: numbers by value, missing figures after every number; failing channels
// sort before passing ones in the Pass column.
double sortKey(const ChannelRow& row, Column column);

// The table as CSV: a header line of the column titles, then one line per row, CRLF endings.
std::string tableCsv(const std::vector<ChannelRow>& rows, bool english);

} // namespace monitor
