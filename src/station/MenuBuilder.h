#pragma once

#include <QMenu>
#include <QMenuBar>

// Builds the window's menus with their command numbers in QAction::data(). Items that show a
// check mark are checkable; the window sets their marks each time a menu opens.
namespace station {

// The menu bar in English or Chinese: File, Edit, Expand board, Help.
void fillMenuBar(QMenuBar* bar, bool english);

// The grid's context menu: board setting, the four value popups and the one-key setting.
QMenu* buildContextMenu(QWidget* parent);

} // namespace station
