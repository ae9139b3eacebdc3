#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

// The number of board rows and columns the grid view shows. One value shared by the setup model
// and the grid view, so the two can never disagree; rows and columns change together in one
// atomic store, so a reader on another thread never sees the rows of one size with the columns
// of another.
class GridCounts {
public:
    static constexpr int kMaxRows = 4;
    static constexpr int kMaxCols = 4;

    GridCounts(int rows = 2, int cols = 2) { set(rows, cols); }
    GridCounts(const GridCounts&) = delete;
    GridCounts& operator=(const GridCounts&) = delete;

    // The one rule for every place a grid size enters (head, file, dialog): each count 0..4.
    static constexpr bool acceptable(int rows, int cols)
    {
        return rows >= 0 && rows <= kMaxRows && cols >= 0 && cols <= kMaxCols;
    }

    // Stores both counts; callers check acceptable() first, anything else is clamped to 0..4.
    void set(int rows, int cols)
    {
        value_.store(pack(clamp(rows, kMaxRows), clamp(cols, kMaxCols)), std::memory_order_release);
    }

    std::pair<int, int> get() const
    {
        const std::uint32_t v = value_.load(std::memory_order_acquire);
        return {static_cast<int>(v >> 8), static_cast<int>(v & 0xFF)};
    }
    int rows() const { return get().first; }
    int cols() const { return get().second; }

private:
    static int clamp(int v, int max) { return v < 0 ? 0 : (v > max ? max : v); }
    static std::uint32_t pack(int rows, int cols) { return static_cast<std::uint32_t>(rows << 8 | cols); }

    std::atomic<std::uint32_t> value_{0};
};
