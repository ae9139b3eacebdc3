#pragma once

#include <cstdint>

// Which board and channel slot lie under a point of the grid view (the right-click menu and the
// preview's double-click use it).
namespace display {

class BoardGrid;

struct MousePoint {
    int x = 0;
    int y = 0;
    std::uint32_t flags = 0; // key and button state of the event, stored as given
};

struct HitResult {
    int hitRow = 0;
    int hitCol = 0;
    int hitSlot = 0;
    bool shown = false; // the point lies on a board of the shown grid
    friend bool operator==(const HitResult&, const HitResult&) = default;
};

// Row and column are not limited to the shown grid (the last pixel column gives gridCols);
// `shown` tells whether they name a shown board, and commands act only then. The slot divides the cell by the
// board's channel count itself (32 when it is 0 or the cell lies outside the 4 x 4 storage); a point between
// two slots keeps the previous slot.
HitResult HitTest(int width, int height, const BoardGrid& grid, MousePoint point, HitResult previous);

// The next mode of a double-click: Open -> Closed -> Masked -> LowerOnly -> UpperOnly -> Open;
// any other value stays.
std::uint8_t nextChannelMode(std::uint8_t mode);

} // namespace display
