#pragma once

#include <QPixmap>

namespace uikit {

// The light diagonal tile the information and expansion dialogs are papered with.
QPixmap dialogBackgroundTile();

} // namespace uikit
