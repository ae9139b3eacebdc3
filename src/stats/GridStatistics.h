#pragma once

#include "stats/BoardStatistics.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace stats {

// Rolling statistics of every board position of the 4 x 4 grid, indexed like the grid's panels.
class GridStatistics {
public:
    static constexpr int kMaxRows = 4;
    static constexpr int kMaxCols = 4;
    // Cycles of counts kept per channel for trends, beyond the window.
    static constexpr std::size_t kDefaultHistory = 300;

    explicit GridStatistics(std::size_t window = RollingWindow::kDefaultWindow,
                            std::size_t history = kDefaultHistory);
    GridStatistics(const GridStatistics&) = delete;
    GridStatistics& operator=(const GridStatistics&) = delete;

    static bool inStorage(int row, int col)
    {
        return row >= 0 && row < kMaxRows && col >= 0 && col < kMaxCols;
    }

    // One cycle's counts of the board at (row, col); a position outside the storage is ignored.
    void push(int row, int col, std::span<const std::uint16_t> counts);

    // Both need a position inside the storage.
    BoardStatistics& board(int row, int col) { return boards_[index(row, col)]; }
    const BoardStatistics& board(int row, int col) const { return boards_[index(row, col)]; }

    void setWindow(std::size_t window);
    void clear();

private:
    static std::size_t index(int row, int col)
    {
        return static_cast<std::size_t>(row) * kMaxCols + static_cast<std::size_t>(col);
    }

    std::array<BoardStatistics, kMaxRows * kMaxCols> boards_;
};

} // namespace stats
