#include "display/ExcessRelease.h"

#include "display/BoardGrid.h"
#include "display/Verdict.h"

namespace display {

bool releaseExcessWhenAllLatched(BoardGrid& grid)
{
    const auto [rows, cols] = grid.counts().get();
    int judged = 0;
    int latched = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const BoardPanel& panel = grid.panel(r, c);
            const int count = panel.channels();
            for (int k = 0; k < count && k < kChannels; ++k) {
                judged += isJudgedMode(panel.modeOf(k)) ? 1 : 0;
                latched += panel.excess[k].load(std::memory_order_relaxed) != 0 ? 1 : 0;
            }
        }
    }
    if (judged != latched || grid.failCount.load(std::memory_order_relaxed) != 0 || rows * cols == 0)
        return false;
    grid.ClearExcess();
    return true;
}

} // namespace display
