#include "MonitorHost.h"

#include "display/BoardGrid.h"
#include "setup/TestSetup.h"

MonitorHost::MonitorHost(display::BoardGrid& grid, const TestSetup& setup, uikit::ParentlessWindows& roster)
    : grid_(grid), setup_(setup), windows_(*this, roster)
{
}

std::optional<monitor::MonitorInput> MonitorHost::monitorInput(int row, int col) const
{
    // A board outside the shown grid is not measured, whatever it showed before.
    if (!display::BoardGrid::inStorage(row, col) || row >= grid_.gridRows() || col >= grid_.gridCols())
        return std::nullopt;
    std::optional<monitor::JudgedBoard> judged = feed_.latest(row, col);
    if (!judged)
        return std::nullopt;
    return monitor::MonitorInput{grid_.panel(row, col).snapshot(), *judged,
                                 feed_.statistics().board(row, col).snapshot()};
}

stats::BoardStatistics& MonitorHost::statistics(int row, int col) const
{
    return feed_.statistics().board(row, col);
}

bool MonitorHost::englishUi() const
{
    return setup_.global().englishUi();
}
