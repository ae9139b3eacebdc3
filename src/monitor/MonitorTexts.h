#pragma once

#include "monitor/MonitorRows.h"

#include <string>

// The monitor window's lines built from figures; their words come from the station's text
// tables (texts/Texts.h, the "Channel monitor" group), like the window's other texts.
namespace monitor::text {

// "Monitor - Row 1 Col 0 - 64 channels", rows and columns counted as the context menu does.
std::string windowTitle(int row, int col, int channels, bool english);

// The board summary line: verdict, Pearson coefficient and threshold, worst channel and its
// margin, noise median and maximum.
std::string summaryText(const BoardSummary& summary, bool english);

// The summary while the board has no judged cycle (not shown, or not measured yet).
std::string notMeasuredText(bool english);

} // namespace monitor::text
