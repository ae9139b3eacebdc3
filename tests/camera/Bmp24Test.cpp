#include "camera/Bmp24.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QVideoFrame>
#include <QVideoFrameFormat>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::uint32_t le32(const QByteArray& b, int at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

std::uint16_t le16(const QByteArray& b, int at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

// A picture whose every pixel has its own colour, so swapped rows or channels show.
QColor patternColour(int x, int y)
{
    return QColor((x * 37 + y) & 0xFF, (y * 53 + 7) & 0xFF, (x * 11 + y * 3 + 90) & 0xFF);
}

QImage patternImage(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, patternColour(x, y));
    return image.convertToFormat(format);
}

// Blue, green, red of picture pixel (x, y) as the file stores them.
QColor filePixel(const QByteArray& file, int width, int height, int x, int y)
{
    const qsizetype row = camera::bmp24RowBytes(width);
    const qsizetype at = camera::kBmpHeaderBytes + (height - 1 - y) * row + 3 * x;
    return QColor(static_cast<std::uint8_t>(file[at + 2]), static_cast<std::uint8_t>(file[at + 1]),
                  static_cast<std::uint8_t>(file[at]));
}

void expectPattern(const QByteArray& file, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(filePixel(file, width, height, x, y), patternColour(x, y)) << "pixel " << x << "," << y;
}

TEST(Bmp24, VgaFrameHasTheExactHeaders)
{
    const QByteArray file = camera::bmp24File(patternImage(640, 480, QImage::Format_RGB888));
    ASSERT_EQ(file.size(), 921654);
    const std::vector<std::uint8_t> expected = {
        0x42, 0x4D,             // "BM"
        0x36, 0x10, 0x0E, 0x00, // 921654
        0,    0,    0,    0,    // reserved
        54,   0,    0,    0,    // pixel offset
        40,   0,    0,    0,    // info header size
        0x80, 0x02, 0,    0,    // width 640
        0xE0, 0x01, 0,    0,    // height 480, bottom-up
        1,    0,                // planes
        24,   0,                // bits per pixel
    };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(static_cast<std::uint8_t>(file[static_cast<qsizetype>(i)]), expected[i]) << "byte " << i;
    for (int i = 30; i < 54; ++i)
        EXPECT_EQ(file[i], 0) << "byte " << i;
    EXPECT_EQ(le32(file, 2), 921654u);
    EXPECT_EQ(le32(file, 10), 54u);
    expectPattern(file, 640, 480);
}

// Odd widths need row padding; every QImage format the frame may come in ends as BGR.
struct ImageCase {
    int width;
    int height;
    QImage::Format format;
};

class Bmp24Image : public ::testing::TestWithParam<ImageCase> {};

std::string formatName(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
        return "RGB32";
    case QImage::Format_RGB888:
        return "RGB888";
    case QImage::Format_BGR888:
        return "BGR888";
    case QImage::Format_ARGB32:
        return "ARGB32";
    case QImage::Format_RGBA8888:
        return "RGBA8888";
    case QImage::Format_ARGB32_Premultiplied:
        return "ARGB32Premultiplied";
    case QImage::Format_RGBX8888:
        return "RGBX8888";
    default:
        return "Format" + std::to_string(static_cast<int>(format));
    }
}

TEST_P(Bmp24Image, RowsBottomUpInBgrPaddedToFourBytes)
{
    const auto [width, height, format] = GetParam();
    const QByteArray file = camera::bmp24File(patternImage(width, height, format));
    const qsizetype row = (3 * width + 3) / 4 * 4;
    ASSERT_EQ(file.size(), 54 + row * height);
    EXPECT_EQ(le32(file, 2), static_cast<std::uint32_t>(file.size()));
    EXPECT_EQ(le32(file, 18), static_cast<std::uint32_t>(width));
    EXPECT_EQ(le32(file, 22), static_cast<std::uint32_t>(height));
    EXPECT_EQ(le16(file, 28), 24);
    expectPattern(file, width, height);
    for (int y = 0; y < height; ++y)
        for (qsizetype pad = 3 * width; pad < row; ++pad)
            EXPECT_EQ(file[54 + y * row + pad], 0) << "padding of row " << y;
}

INSTANTIATE_TEST_SUITE_P(Formats, Bmp24Image,
                         ::testing::Values(ImageCase{1, 1, QImage::Format_RGB32},
                                           ImageCase{2, 3, QImage::Format_RGB888},
                                           ImageCase{3, 2, QImage::Format_BGR888},
                                           ImageCase{5, 4, QImage::Format_ARGB32},
                                           ImageCase{7, 3, QImage::Format_RGBA8888},
                                           ImageCase{4, 4, QImage::Format_ARGB32_Premultiplied},
                                           ImageCase{6, 5, QImage::Format_RGBX8888}),
                         [](const ::testing::TestParamInfo<ImageCase>& c) {
                             return std::to_string(c.param.width) + "x" + std::to_string(c.param.height) +
                                    formatName(c.param.format);
                         });

// Raw frames as cameras deliver them, 4 bytes a pixel in the byte order the format names.
struct FrameCase {
    QVideoFrameFormat::PixelFormat format;
    int red, green, blue; // byte positions of the channels within a pixel
};

class Bmp24Frame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(Bmp24Frame, ConvertsToBgr)
{
    const FrameCase c = GetParam();
    constexpr int width = 3;
    constexpr int height = 2;
    QVideoFrame frame(QVideoFrameFormat(QSize(width, height), c.format));
    ASSERT_TRUE(frame.map(QVideoFrame::WriteOnly));
    for (int y = 0; y < height; ++y) {
        uchar* line = frame.bits(0) + y * frame.bytesPerLine(0);
        for (int x = 0; x < width; ++x) {
            const QColor colour = patternColour(x, y);
            uchar* pixel = line + 4 * x;
            std::fill_n(pixel, 4, uchar{0xFF});
            pixel[c.red] = static_cast<uchar>(colour.red());
            pixel[c.green] = static_cast<uchar>(colour.green());
            pixel[c.blue] = static_cast<uchar>(colour.blue());
        }
    }
    frame.unmap();
    const QByteArray file = camera::bmp24File(frame);
    ASSERT_EQ(file.size(), 54 + camera::bmp24RowBytes(width) * height);
    expectPattern(file, width, height);
}

INSTANTIATE_TEST_SUITE_P(PixelFormats, Bmp24Frame,
                         ::testing::Values(FrameCase{QVideoFrameFormat::Format_XRGB8888, 1, 2, 3},
                                           FrameCase{QVideoFrameFormat::Format_ARGB8888, 1, 2, 3},
                                           FrameCase{QVideoFrameFormat::Format_BGRX8888, 2, 1, 0},
                                           FrameCase{QVideoFrameFormat::Format_BGRA8888, 2, 1, 0},
                                           FrameCase{QVideoFrameFormat::Format_RGBX8888, 0, 1, 2},
                                           FrameCase{QVideoFrameFormat::Format_XBGR8888, 3, 2, 1}),
                         [](const ::testing::TestParamInfo<FrameCase>& c) {
                             // "Format_XRGB8888" -> "XRGB8888"
                             return QVideoFrameFormat::pixelFormatToString(c.param.format)
                                 .remove(QStringLiteral("Format_"))
                                 .toStdString();
                         });

// A YUV frame of one grey level (no colour difference) becomes that grey in every channel.
TEST(Bmp24, YuvFrameOfFullWhiteBecomesWhite)
{
    QVideoFrame frame(QVideoFrameFormat(QSize(4, 2), QVideoFrameFormat::Format_NV12));
    ASSERT_TRUE(frame.map(QVideoFrame::WriteOnly));
    std::fill_n(frame.bits(0), frame.mappedBytes(0), uchar{235}); // video-range white
    std::fill_n(frame.bits(1), frame.mappedBytes(1), uchar{128}); // no colour
    frame.unmap();
    const QByteArray file = camera::bmp24File(frame);
    ASSERT_EQ(file.size(), 54 + 12 * 2);
    for (int i = 54; i < file.size(); ++i)
        EXPECT_GE(static_cast<std::uint8_t>(file[i]), 250) << "byte " << i;
}

TEST(Bmp24, NothingToWriteGivesNoFile)
{
    EXPECT_TRUE(camera::bmp24File(QImage()).isEmpty());
    EXPECT_TRUE(camera::bmp24File(QVideoFrame()).isEmpty());
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grab0.bmp"));
    EXPECT_FALSE(camera::writeBmp24(path, QImage()));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
