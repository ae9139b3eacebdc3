#pragma once

#include <functional>

class QWidget;
class HeadOperations;

// The Expansion board command (32787): refused with its message while the head's
// lockExpandMenu bit is set; otherwise runs the expansion board dialog and, on OK, rereads the
// global settings, gives the grid view the stored rows and columns, rereads the board table and
// restarts the head (its return runs the connection set-up and reloads every board).
enum class ExpansionOutcome { Refused, Cancelled, Accepted };

// Told when the dialog opens, with the function that reloads it from the head (the refresh
// message with both parameters 0; call it on the GUI thread only), and when it closes, with an
// empty function. While it is open the acquisition loop leaves the grid's counts alone; board
// loading calls the refresh function at its end.
using ExpansionDialogWatcher = std::function<void(bool open, std::function<void()> refresh)>;

ExpansionOutcome runExpansionSetting(QWidget* owner, HeadOperations& head,
                                     const ExpansionDialogWatcher& watcher);

// The steps after OK on their own.
void applyExpansionSetting(HeadOperations& head);
