#pragma once

// Helpers of the rendering tests: a grid with one well-known board and pixel probes.
#include "display/BoardGrid.h"
#include "display/GridRenderer.h"

#include <QImage>
#include <QRgb>

#include <initializer_list>

namespace display::test {

inline QRgb rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

inline QRgb pixel(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

// True when the rectangle holds at least one pixel of the colour.
inline bool contains(const QImage& image, PixelRect r, QRgb color)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (pixel(image, x, y) == color)
                return true;
    return false;
}

// True when every pixel of the rectangle has one of the colours.
inline bool onlyColors(const QImage& image, PixelRect r, std::initializer_list<QRgb> colors)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            bool found = false;
            for (QRgb c : colors)
                found |= pixel(image, x, y) == c;
            if (!found)
                return false;
        }
    return true;
}

// Sets one channel of a panel.
inline void setChannel(BoardPanel& p, int ch, std::uint8_t mode, std::uint16_t raw, std::uint16_t high,
                       std::uint16_t low, std::uint16_t reference)
{
    p.mask[ch] = mode;
    p.raw[ch] = raw;
    p.thresholdHigh[ch] = high;
    p.thresholdLow[ch] = low;
    p.reference[ch] = reference;
}

} // namespace display::test
