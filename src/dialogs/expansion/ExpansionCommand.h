#pragma once

class QWidget;
class HeadOperations;
class ExpansionDialogLink;

// The Expansion board command (32787): refused with its message while the head's
// lockExpandMenu bit is set; otherwise runs the expansion board dialog and, on OK, rereads the
// global settings, gives the grid view the stored rows and columns, rereads the board table and
// restarts the head (its return runs the connection set-up and reloads every board).
enum class ExpansionOutcome { Refused, Cancelled, Accepted };

ExpansionOutcome runExpansionSetting(QWidget* owner, HeadOperations& head, ExpansionDialogLink& link);

// The steps after OK on their own.
void applyExpansionSetting(HeadOperations& head);
