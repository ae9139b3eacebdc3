#include "stats/GridStatistics.h"

namespace stats {

GridStatistics::GridStatistics(std::size_t window, std::size_t history)
{
    for (BoardStatistics& board : boards_)
        board.reset(window, history);
}

void GridStatistics::push(int row, int col, std::span<const std::uint16_t> counts)
{
    if (inStorage(row, col))
        board(row, col).push(counts);
}

void GridStatistics::setWindow(std::size_t window)
{
    for (BoardStatistics& board : boards_)
        board.setWindow(window);
}

void GridStatistics::clear()
{
    for (BoardStatistics& board : boards_)
        board.clear();
}

} // namespace stats
