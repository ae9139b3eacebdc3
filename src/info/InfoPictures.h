#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The pictures of the About, certificate and plain about dialogs, drawn at run time. Each
// picture keeps the number it has always been known by.
namespace info {

inline constexpr int kApplicationIcon = 128;
inline constexpr int kDefaultLogo = 132;
inline constexpr int kBackgroundTile = 138;
inline constexpr int kCertificatePicture = 151;

// The logo chosen by a brand code (compared upper-cased): the row's own picture, or the default
// logo for an empty or unknown code.
int logoFor(const QString& brandCode);
// Brand codes of the logo table, in table order.
QStringList logoBrandCodes();
// The logo picture with the given number; the default logo for a number not in the table.
QPixmap logoPicture(int number);

QPixmap backgroundTile();
QPixmap certificatePicture();
QIcon applicationIcon();

// The product caption and the second header line of the About dialogs.
QString productCaption();
QString secondHeaderLine();

} // namespace info
