#include "InfoPictures.h"

#include "texts/QtTexts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace info {
namespace {

// A distributor or customer code with its logo number and the colour its picture is drawn in.
struct LogoRow {
    const char* brandCode;
    int number;
    QRgb color;
};

constexpr std::array<LogoRow, 12> kLogoTable{{
    {"DIST01", 160, 0x1f5f9f},
    {"DIST02", 161, 0x2f8f4f},
    {"DIST03", 162, 0x8f3f1f},
    {"DIST04", 163, 0x5f3f8f},
    {"DIST05", 164, 0x1f7f7f},
    {"DIST06", 165, 0x7f7f1f},
    {"CUST01", 166, 0x9f1f4f},
    {"CUST02", 167, 0x3f3f3f},
    {"CUST03", 168, 0x1f3f9f},
    {"CUST04", 169, 0x4f8f1f},
    {"CUST05", 170, 0x9f5f1f},
    {"CUST06", 171, 0x6f1f6f},
}};

constexpr QSize kLogoSize{200, 90};

// The default logo: a small touch panel with its sensing grid and a finger's touch.
QPixmap defaultLogo()
{
    QPixmap picture(kLogoSize);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF panel(12, 12, 90, 66);
    QLinearGradient glass(panel.topLeft(), panel.bottomRight());
    glass.setColorAt(0, QColor(200, 225, 250));
    glass.setColorAt(1, QColor(120, 160, 210));
    painter.setPen(QPen(QColor(40, 70, 120), 2));
    painter.setBrush(glass);
    painter.drawRoundedRect(panel, 6, 6);
    painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
    for (int i = 1; i < 6; ++i) {
        const qreal x = panel.left() + i * panel.width() / 6;
        painter.drawLine(QPointF(x, panel.top() + 4), QPointF(x, panel.bottom() - 4));
    }
    for (int i = 1; i < 4; ++i) {
        const qreal y = panel.top() + i * panel.height() / 4;
        painter.drawLine(QPointF(panel.left() + 4, y), QPointF(panel.right() - 4, y));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 140, 0, 200));
    painter.drawEllipse(QPointF(panel.center().x() + 12, panel.center().y() - 6), 8, 8);
    painter.setPen(QColor(40, 70, 120));
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(11);
    painter.setFont(font);
    painter.drawText(QRectF(108, 12, 88, 66), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("TOUCH\nTEST"));
    return picture;
}

// A row's logo: its code on a band in the row's colour.
QPixmap rowLogo(const LogoRow& row)
{
    QPixmap picture(kLogoSize);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = QColor::fromRgb(row.color);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(8, 20, 184, 50), 10, 10);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(14);
    painter.setFont(font);
    painter.drawText(QRectF(8, 20, 184, 50), Qt::AlignCenter, QString::fromLatin1(row.brandCode));
    return picture;
}

} // namespace

int logoFor(const QString& brandCode)
{
    const QString code = brandCode.toUpper();
    if (!code.isEmpty())
        for (const LogoRow& row : kLogoTable)
            if (code == QLatin1String(row.brandCode))
                return row.number;
    return kDefaultLogo;
}

QStringList logoBrandCodes()
{
    QStringList codes;
    for (const LogoRow& row : kLogoTable)
        codes << QString::fromLatin1(row.brandCode);
    return codes;
}

QPixmap logoPicture(int number)
{
    for (const LogoRow& row : kLogoTable)
        if (row.number == number)
            return rowLogo(row);
    return defaultLogo();
}

QPixmap certificatePicture()
{
    QPixmap picture(420, 300);
    picture.fill(QColor(252, 249, 240));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(150, 110, 40), 6));
    painter.drawRect(QRectF(10, 10, 400, 280));
    painter.setPen(QPen(QColor(150, 110, 40), 1));
    painter.drawRect(QRectF(22, 22, 376, 256));
    QFont font = painter.font();
    font.setPointSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(90, 60, 20));
    painter.drawText(QRectF(22, 40, 376, 40), Qt::AlignCenter, QStringLiteral("CERTIFICATE"));
    font.setPointSize(10);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRectF(40, 90, 340, 60), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("Software registration\n%1").arg(productCaption()));
    painter.setPen(QColor(180, 160, 120));
    for (int i = 0; i < 3; ++i)
        painter.drawLine(QPointF(70, 170 + i * 18), QPointF(350, 170 + i * 18));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(190, 40, 40, 200));
    painter.drawEllipse(QPointF(330, 240), 26, 26);
    painter.setBrush(QColor(252, 249, 240));
    painter.drawEllipse(QPointF(330, 240), 16, 16);
    return picture;
}

QIcon applicationIcon()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 70, 120), 2));
    painter.setBrush(QColor(150, 190, 235));
    painter.drawRoundedRect(QRectF(3, 5, 26, 22), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 160, 70));
    painter.drawRect(QRectF(8, 16, 4, 8));
    painter.drawRect(QRectF(14, 12, 4, 12));
    painter.drawRect(QRectF(20, 9, 4, 15));
    return QIcon(picture);
}

QString productCaption(bool english)
{
    return texts::qtext(texts::TextId::ProductCaption, english);
}

QString secondHeaderLine()
{
    return QStringLiteral("Multi-board capacitive channel tester");
}

} // namespace info
