#include "ExpansionPictures.h"

#include <QLinearGradient>
#include <QPainter>

QPixmap expansionBackgroundTile()
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

QPixmap expansionSidePicture()
{
    constexpr int kWidth = 110;
    constexpr int kHeight = 300;
    QPixmap picture(kWidth, kHeight);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // The head on top, a bus line down, eight boards with eight ports each.
    QLinearGradient headFill(0, 8, 0, 48);
    headFill.setColorAt(0, QColor(90, 120, 170));
    headFill.setColorAt(1, QColor(50, 80, 130));
    painter.setPen(QColor(40, 60, 100));
    painter.setBrush(headFill);
    painter.drawRoundedRect(QRectF(15, 8, 80, 40), 6, 6);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(15, 8, 80, 40), Qt::AlignCenter, QStringLiteral("HEAD"));

    painter.setPen(QPen(QColor(80, 80, 80), 2));
    painter.drawLine(25, 48, 25, 288);
    for (int board = 0; board < 8; ++board) {
        const qreal y = 60 + board * 29;
        painter.setPen(QPen(QColor(80, 80, 80), 2));
        painter.drawLine(QPointF(25, y + 10), QPointF(38, y + 10));
        painter.setPen(QColor(30, 90, 50));
        painter.setBrush(QColor(60, 150, 90));
        painter.drawRect(QRectF(38, y, 62, 20));
        painter.setBrush(QColor(230, 200, 90));
        for (int port = 0; port < 8; ++port)
            painter.drawRect(QRectF(41 + port * 7, y + 13, 5, 5));
    }
    return picture;
}
