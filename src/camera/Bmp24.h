#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVideoFrame>

#include <cstdint>

// Snapshot files: uncompressed 24-bit BMP, a 14-byte file header and a 40-byte info header
// followed by the pixels as BGR triples, rows bottom-up, each row padded to a multiple of 4 bytes.
// Plain functions without widgets, so they run on the frame thread and in tests.
namespace camera {

inline constexpr int kBmpFileHeaderBytes = 14;
inline constexpr int kBmpInfoHeaderBytes = 40;
inline constexpr int kBmpHeaderBytes = kBmpFileHeaderBytes + kBmpInfoHeaderBytes; // offset of the pixels

// Bytes of one pixel row of a 24-bit BMP of this width, padding included.
qsizetype bmp24RowBytes(int width);

// The pixel block of a 24-bit BMP: the image converted to BGR, last row first, rows padded.
// Empty for a null image.
QByteArray bmp24Pixels(const QImage& image);

// The 54 header bytes for a pixel block of pixelBytes bytes.
QByteArray bmp24Headers(int width, int height, std::uint32_t pixelBytes);

// The whole file: headers and pixels. Empty for a null image or one too large for the format.
QByteArray bmp24File(const QImage& image);

// A video frame of any pixel format, converted to RGB first. Empty when the frame holds no
// picture or its format cannot be converted.
QByteArray bmp24File(const QVideoFrame& frame);

// Writes the file, replacing one of that name. A half-written file never stays behind: the
// bytes go to a temporary file that takes the name only once complete. False when the file
// cannot be created or written, or the image is null.
bool writeBmp24(const QString& path, const QImage& image);

} // namespace camera
