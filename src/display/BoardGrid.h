#pragma once

#include "display/BoardPanel.h"
#include "setup/ColorScheme.h"
#include "setup/GridCounts.h"

#include <array>
#include <atomic>
#include <cstdint>

// The 4 x 4 board panels of one grid view with the view settings that workers may touch, and
// failCount, the number of boards that failed at the last verdict: the station's overall result.
// The grid size is not copied: the view reads the GridCounts it is given at every repaint, so the
// setup model and the view never disagree about it.
namespace display {

class BoardGrid {
public:
    static constexpr int kMaxRows = GridCounts::kMaxRows;
    static constexpr int kMaxCols = GridCounts::kMaxCols;

    explicit BoardGrid(GridCounts& counts);
    BoardGrid(const BoardGrid&) = delete;
    BoardGrid& operator=(const BoardGrid&) = delete;

    GridCounts& counts() { return counts_; }
    const GridCounts& counts() const { return counts_; }
    int gridRows() const { return counts_.rows(); }
    int gridCols() const { return counts_.cols(); }

    static bool inStorage(int row, int col)
    {
        return row >= 0 && row < kMaxRows && col >= 0 && col < kMaxCols;
    }
    // The panel of grid position (row, col); both must lie in 0..3 (see inStorage).
    BoardPanel& panel(int row, int col) { return panels_[index(row, col)]; }
    const BoardPanel& panel(int row, int col) const { return panels_[index(row, col)]; }
    // The same, or null for a position outside the storage (a board table entry may name any
    // nibble pair): the safe way for positions that come from the head.
    BoardPanel* panelAt(int row, int col) { return inStorage(row, col) ? &panel(row, col) : nullptr; }

    // The acquisition loop's write of one board's counts; a position outside the storage is ignored.
    void setRaw(int row, int col, const std::uint16_t* counts, int n);

    // Copy the first min(count, 64) values into the panel at (row, col); a position outside the
    // 4 x 4 storage or a null array is ignored.
    void SetReferences(int count, int row, int col, const std::uint16_t* values);
    void SetThresholdsHigh(int count, int row, int col, const std::uint16_t* values);
    void SetThresholdsLow(int count, int row, int col, const std::uint16_t* values);
    void SetMasks(int count, int row, int col, const std::uint8_t* values);

    // Releases every excess latch of the shown boards.
    void ClearExcess();

    void setColorScheme(const ColorScheme& scheme);
    ColorScheme colorScheme() const;

    // Number of failing boards at the last verdict, as the acquisition cycle judged it.
    std::atomic<int> failCount{0};
    // Draw the banner strip and evaluate the verdict (main window); clear in the settings preview.
    std::atomic<bool> bannerShown{true};
    // Draw latched channels in the excess style.
    std::atomic<bool> excessIndication{false};
    // Words on the banner (not measured, loading) in English rather than Chinese.
    std::atomic<bool> englishText{false};

private:
    // Panels are stored by column, then row, as the view has always kept them.
    static int index(int row, int col) { return row + kMaxRows * col; }

    GridCounts& counts_;
    std::array<BoardPanel, kMaxRows * kMaxCols> panels_;
    std::array<std::atomic<std::uint32_t>, 5> colors_; // pass, excess, high, low, mask as 0xRRGGBB
    std::atomic<std::uint8_t> colorFlags_{0};
};

} // namespace display
