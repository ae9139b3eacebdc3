#pragma once

class QWidget;
class HeadOperations;

namespace display {
class BoardGrid;
}

// The Colour command (32811): rereads the global settings, runs the colour dialog on them and,
// on OK, writes the five colours and the three switches into block 249 as the head holds it then
// (read-modify-write, every other field as read) and gives them to the grid view. Returns
// whether the dialog ended with OK.
bool runColourSetting(QWidget* owner, HeadOperations& head, display::BoardGrid& grid);
