#pragma once

#include <QPixmap>

// The expansion board dialog's pictures, drawn at run time: a light tile for the background and
// a sketch of a test head with its expansion boards and ports for the left-hand side.
QPixmap expansionBackgroundTile();
QPixmap expansionSidePicture();
