#pragma once

#include "monitor/MonitorRows.h"
#include "stats/BoardStatistics.h"

#include <optional>

// Where a monitor window reads its board: the main window gives the latest judged cycle of a
// grid position with its panel and statistics. Called on the GUI thread.
class MonitorSource {
public:
    virtual ~MonitorSource() = default;

    // None while the position is not shown or has not been judged yet.
    virtual std::optional<monitor::MonitorInput> monitorInput(int row, int col) const = 0;
    // The rolling statistics of a position inside the 4 x 4 storage.
    virtual stats::BoardStatistics& statistics(int row, int col) const = 0;
    virtual bool englishUi() const = 0;
};
