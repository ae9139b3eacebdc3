#include "Bmp24.h"

#include "persistence/AtomicFile.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <string_view>

namespace camera {
namespace {

void putLe16(char* at, std::uint16_t value)
{
    at[0] = static_cast<char>(value & 0xFFu);
    at[1] = static_cast<char>(value >> 8);
}

void putLe32(char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
}

} // namespace

qsizetype bmp24RowBytes(int width)
{
    const qsizetype packed = qsizetype{3} * width;
    return (packed + 3) & ~qsizetype{3};
}

QByteArray bmp24Pixels(const QImage& image)
{
    if (image.isNull())
        return {};
    // Format_BGR888 keeps the bytes of a pixel in the order blue, green, red: BMP's order.
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    const qsizetype rowBytes = bmp24RowBytes(bgr.width());
    const qsizetype usedBytes = qsizetype{3} * bgr.width();
    QByteArray pixels(rowBytes * bgr.height(), '\0');
    char* out = pixels.data();
    for (int y = bgr.height() - 1; y >= 0; --y, out += rowBytes)
        std::copy_n(reinterpret_cast<const char*>(bgr.constScanLine(y)), usedBytes, out);
    return pixels;
}

QByteArray bmp24Headers(int width, int height, std::uint32_t pixelBytes)
{
    QByteArray header(kBmpHeaderBytes, '\0');
    char* h = header.data();
    putLe16(h + 0, 0x4D42); // "BM"
    putLe32(h + 2, kBmpHeaderBytes + pixelBytes);
    putLe32(h + 6, 0);
    putLe32(h + 10, kBmpHeaderBytes);
    putLe32(h + 14, kBmpInfoHeaderBytes);
    putLe32(h + 18, static_cast<std::uint32_t>(width));
    putLe32(h + 22, static_cast<std::uint32_t>(height)); // positive: rows are stored bottom-up
    putLe16(h + 26, 1);                                  // planes
    putLe16(h + 28, 24);                                 // bits per pixel
    // 30..53 stay 0: no compression, image size 0, no resolution, no colour table.
    return header;
}

QByteArray bmp24File(const QImage& image)
{
    if (image.isNull())
        return {};
    const qsizetype pixelBytes = bmp24RowBytes(image.width()) * image.height();
    // The size field has 32 bits; a larger picture cannot be described truthfully.
    if (pixelBytes > qsizetype{std::numeric_limits<std::uint32_t>::max()} - kBmpHeaderBytes)
        return {};
    QByteArray file = bmp24Headers(image.width(), image.height(), static_cast<std::uint32_t>(pixelBytes));
    file += bmp24Pixels(image);
    return file;
}

QByteArray bmp24File(const QVideoFrame& frame)
{
    if (!frame.isValid())
        return {};
    return bmp24File(frame.toImage());
}

bool writeBmp24(const QString& path, const QImage& image)
{
    const QByteArray bytes = bmp24File(image);
    if (bytes.isEmpty())
        return false;
    // Whole or not at all, and synced with its folder, like every other file the station writes.
    return atomicfile::write(QFile::encodeName(path).toStdString(),
                             std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace camera
