#pragma once

#include <QPixmap>

// The expansion board dialog's picture, drawn at run time: a sketch of a test head with its expansion boards
// and ports for the left-hand side.
QPixmap expansionSidePicture();
