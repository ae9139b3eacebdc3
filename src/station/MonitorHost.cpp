#include "MonitorHost.h"

#include "display/BoardGrid.h"
#include "display/CycleResult.h"
#include "setup/TestSetup.h"

#include <algorithm>

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

std::optional<monitor::JudgedBoard> MonitorHost::judgedBoard(const display::BoardResult& board)
{
    using display::BoardVerdict;
    if (board.state != BoardVerdict::Pass && board.state != BoardVerdict::Fail &&
        board.state != BoardVerdict::Load)
        return std::nullopt;
    monitor::JudgedBoard judged;
    judged.verdict = board.state;
    judged.pearson = board.pearson;
    const std::size_t n = std::min<std::size_t>(board.channels.size(), display::kChannels);
    for (std::size_t i = 0; i < n; ++i) {
        const display::ChannelResult& channel = board.channels[i];
        judged.counts[i] = channel.count;
        judged.low[i] = channel.low;
        judged.high[i] = channel.high;
        judged.judgement[i] = !channel.judged ? display::ChannelJudgement::NotJudged
                              : channel.pass  ? display::ChannelJudgement::Pass
                                              : display::ChannelJudgement::Fail;
    }
    return judged;
}

void MonitorHost::cycleJudged(const display::CycleResult& result)
{
    // A new acquisition run (connection, restart) may measure other panels: start afresh.
    if (result.cycle == 1) {
        feed_.clearStatistics();
        feed_.forgetAll();
    }
    for (const display::BoardResult& board : result.boards) {
        if (const std::optional<monitor::JudgedBoard> judged = judgedBoard(board))
            feed_.boardJudged(board.row, board.col, *judged, board.channelCount);
        else
            feed_.forget(board.row, board.col);
    }
}
