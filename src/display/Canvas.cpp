#include "display/Canvas.h"

#include <algorithm>
#include <cstring>

namespace display {

namespace {

QRgb mix(QRgb a, QRgb b, int num, int den)
{
    if (den <= 0)
        return a;
    auto channel = [&](int ca, int cb) { return ca + (cb - ca) * num / den; };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)));
}

} // namespace

Canvas::Canvas(QImage& image)
    : rows_(reinterpret_cast<std::uint32_t*>(image.bits())), stride_(image.bytesPerLine() / 4),
      width_(image.width()), height_(image.height()), clip_{0, 0, image.width(), image.height()}
{
}

void Canvas::setClip(PixelRect r)
{
    clip_ = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width_), std::min(r.bottom, height_)};
}

void Canvas::resetClip()
{
    clip_ = {0, 0, width_, height_};
}

PixelRect Canvas::clipped(PixelRect r) const
{
    return {std::max(r.left, clip_.left), std::max(r.top, clip_.top), std::min(r.right, clip_.right),
            std::min(r.bottom, clip_.bottom)};
}

void Canvas::fill(PixelRect r, QRgb color)
{
    const PixelRect c = clipped(r);
    if (c.empty())
        return;
    const int w = c.right - c.left;
    std::uint32_t* line = row(c.top) + c.left;
    if (w <= 8) {
        // Most fills are the narrow columns of the channel slots: a plain loop beats a call per row.
        for (int y = c.top; y < c.bottom; ++y, line += stride_)
            for (int x = 0; x < w; ++x)
                line[x] = color;
        return;
    }
    // Wide fills (background, cleared cells, banners): one row, then block copies of it.
    std::fill(line, line + w, color);
    const std::uint32_t* first = line;
    line += stride_;
    for (int y = c.top + 1; y < c.bottom; ++y, line += stride_)
        std::memcpy(line, first, static_cast<std::size_t>(w) * sizeof(std::uint32_t));
}

void Canvas::fillVerticalGradient(PixelRect r, QRgb bottom, QRgb top)
{
    const PixelRect c = clipped(r);
    if (c.empty())
        return;
    const int h = r.bottom - r.top;
    for (int y = c.top; y < c.bottom; ++y) {
        const QRgb color = mix(top, bottom, y - r.top, h);
        std::fill(row(y) + c.left, row(y) + c.right, color);
    }
}

void Canvas::fillHorizontalGradient(PixelRect r, QRgb left, QRgb right)
{
    const PixelRect c = clipped(r);
    if (c.empty())
        return;
    const int w = r.right - r.left;
    std::uint32_t* first = row(c.top);
    for (int x = c.left; x < c.right; ++x)
        first[x] = mix(left, right, x - r.left, w);
    for (int y = c.top + 1; y < c.bottom; ++y)
        std::copy(first + c.left, first + c.right, row(y) + c.left);
}

void Canvas::hatch(PixelRect r, QRgb color)
{
    const PixelRect c = clipped(r);
    for (int y = c.top; y < c.bottom; ++y) {
        std::uint32_t* line = row(y);
        for (int x = c.left; x < c.right; ++x)
            if (((x + y) & 7) == 0 || ((x - y) & 7) == 0)
                line[x] = color;
    }
}

void Canvas::outline(PixelRect r, QRgb color)
{
    if (r.empty())
        return;
    horizontalLine(r.top, r.left, r.right, color);
    horizontalLine(r.bottom - 1, r.left, r.right, color);
    verticalLine(r.left, r.top, r.bottom, color);
    verticalLine(r.right - 1, r.top, r.bottom, color);
}

void Canvas::frame(PixelRect r, QRgb pen, QRgb interior)
{
    if (r.empty())
        return;
    fill({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, interior);
    outline(r, pen);
}

void Canvas::frameOnWhite(PixelRect r, QRgb pen)
{
    outline(r, pen);
}

void Canvas::horizontalLine(int y, int fromX, int toX, QRgb color)
{
    fill({fromX, y, toX, y + 1}, color);
}

void Canvas::verticalLine(int x, int fromY, int toY, QRgb color)
{
    fill({x, fromY, x + 1, toY}, color);
}

void Canvas::verticalLines(std::span<const int> xs, int fromY, int toY, QRgb color)
{
    const int top = std::max(fromY, clip_.top);
    const int bottom = std::min(toY, clip_.bottom);
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* line = row(y);
        for (const int x : xs)
            if (x >= clip_.left && x < clip_.right)
                line[x] = color;
    }
}

} // namespace display
