#pragma once

// The end-of-repaint release of excess latches.
namespace display {

class BoardGrid;

// When every judged channel of every shown board has been latched, no board fails and the grid is
// not empty, release all latches. Returns true when it released them.
bool releaseExcessWhenAllLatched(BoardGrid& grid);

} // namespace display
