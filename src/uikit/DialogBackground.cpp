#include "DialogBackground.h"

#include <QPainter>

namespace uikit {

QPixmap dialogBackgroundTile()
{
    QPixmap tile(32, 32);
    tile.fill(QColor(236, 240, 245));
    QPainter painter(&tile);
    painter.setPen(QColor(224, 229, 236));
    painter.drawLine(0, 31, 31, 0);
    painter.drawLine(0, 15, 15, 0);
    painter.drawLine(16, 31, 31, 16);
    return tile;
}

} // namespace uikit
