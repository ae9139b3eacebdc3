#pragma once

#include "display/Layout.h"

#include <QImage>
#include <QRgb>

#include <cstdint>
#include <span>

// The drawing primitives of the grid view, written straight into a 32-bit image: plain fills,
// two-colour gradients, the diagonal cross hatch, 1-pixel outlines and lines. Everything is
// clipped to the clip rectangle, so no drawing of one board can reach into another cell.
namespace display {

class Canvas {
public:
    explicit Canvas(QImage& image); // the image must be Format_RGB32

    int width() const { return width_; }
    int height() const { return height_; }

    // Limits all drawing to r (within the image); resetClip() returns to the whole image.
    void setClip(PixelRect r);
    void resetClip();

    void fill(PixelRect r, QRgb color);
    void fillVerticalGradient(PixelRect r, QRgb bottom, QRgb top);
    void fillHorizontalGradient(PixelRect r, QRgb left, QRgb right);
    // Diagonal cross hatch lines over what is there (transparent background).
    void hatch(PixelRect r, QRgb color);
    // 1-pixel outline on the edges of r.
    void outline(PixelRect r, QRgb color);
    // An outlined rectangle with a plain interior (the grid frames).
    void frame(PixelRect r, QRgb pen, QRgb interior);
    // The same where the interior is already white (a freshly cleared cell): only the outline.
    void frameOnWhite(PixelRect r, QRgb pen);
    void horizontalLine(int y, int fromX, int toX, QRgb color); // toX excluded
    void verticalLine(int x, int fromY, int toY, QRgb color);   // toY excluded
    // Several vertical lines over the same rows, drawn row by row (one pass over the memory).
    void verticalLines(std::span<const int> xs, int fromY, int toY, QRgb color);

    void plot(int x, int y, QRgb color)
    {
        if (x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom)
            row(y)[x] = color;
    }
    std::uint32_t* row(int y) { return rows_ + static_cast<std::ptrdiff_t>(y) * stride_; }

private:
    PixelRect clipped(PixelRect r) const;

    std::uint32_t* rows_;
    std::ptrdiff_t stride_;
    int width_;
    int height_;
    PixelRect clip_;
};

} // namespace display
