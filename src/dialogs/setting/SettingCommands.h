#pragma once

class HeadOperations;
class QWidget;

namespace display {
class BoardGrid;
}

// The commands that open the baseline dialog, each with everything it does before and after it.
// The main window calls them with its head operations and its grid view data.
namespace setting {

// Right-click "Setting" (32789) for the board at (row, col): refused with its message while the
// head locks it; otherwise reads the device type, runs the dialog and, after OK on a multi-board
// head, brings the grid's panel at the position up to date from the head and the working record.
// Returns true when the dialog ended with OK.
bool runBoardSetting(QWidget* parent, HeadOperations& head, display::BoardGrid& grid, int row, int col);

// Edit menu "Setting" (32773): the dialog for row 0, column 0; nothing is done with its result.
bool runEditSetting(QWidget* parent, HeadOperations& head, display::BoardGrid& grid);

// The steps after OK of the board setting: reads the board's references, thresholds and mask
// into the panel at (row, col) and copies the view range and the Pearson check from the working
// record. Arrays that cannot be read leave the panel as it was.
void refreshPanelFromHead(HeadOperations& head, display::BoardGrid& grid, int row, int col);

} // namespace setting
