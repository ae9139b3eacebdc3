#pragma once

class QWidget;
class HeadOperations;

namespace display {
class BoardGrid;
}

// The Colour command (32811): rereads the global settings, runs the colour dialog on them and,
// on OK, gives the grid view the five colours and the three switches and writes block 249.
// Returns whether the dialog ended with OK.
bool runColourSetting(QWidget* owner, HeadOperations& head, display::BoardGrid& grid);
