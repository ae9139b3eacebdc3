#pragma once

#include <cmath>
#include <limits>

// Layout arithmetic of the grid view, shared by the painter, the verdict banners and the hit test.
// All arithmetic is in double precision; toInt() truncates toward zero.
namespace display {

// Truncation toward zero that never overflows: NaN gives 0 and values beyond int are clamped, so a
// degenerate size (a 1-pixel window, a zero view range) cannot make a conversion undefined.
inline int toInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// A rectangle that includes its left and top edges and excludes its right and bottom edges.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct SlotExtents {
    int frameLeft = 0;  // slot frame, outline included
    int frameRight = 0; // exclusive
    int x1 = 0;         // content (zones, marks, label fill)
    int x2 = 0;         // exclusive
    int barLeft = 0;
    int barRight = 0; // exclusive
};

// Geometry of one board cell.
struct CellLayout {
    double x0 = 0;
    double y0 = 0;
    double cellW = 0;
    double cellH = 0;
    int n = 2;       // number of slots: max(channelCount, 2)
    double chW = 0;  // slot width
    int yTop = 0;    // top of the bar area
    double hBar = 0; // height of the bar area
    int ext = 0;     // extra height taken over from the banner when the banner is off
    int yBot = 0;    // bottom of the bar area (bars and closed covers end here)

    SlotExtents slot(int i) const;

    // Pixel offset below yTop at which count v is drawn: 0 for viewRangeMax, hBar for
    // viewRangeMin, clamped to 0..hBar. A board whose range is empty or not a number draws every
    // count at the bottom of the bar area.
    double level(double v, double viewRangeMax, double viewRangeMin) const;

    int zoneBottom() const { return toInt(yTop + hBar); } // zones are not extended by ext
    int slotFrameTop() const { return toInt(y0 + 2); }
    int slotFrameBottom() const { return toInt(y0 + 0.95 * cellH - 0.125 * cellH - 2) + ext; }
    PixelRect labelStrip() const;     // frame of the channel label strip
    PixelRect bannerStrip() const;    // frame of the verdict banner (drawn only with the banner on)
    PixelRect labelRect(int i) const; // label of slot i, inside the strip
    int labelFontHeight() const;
    int labelFontWidth() const;
    int numberFontHeight() const { return toInt(2 * chW / 3); }
    // The part of the cell a board's drawing may touch, clear of the grid lines.
    PixelRect interior() const;
};

struct GridLayout {
    int width = 0;
    int height = 0;
    int rows = 0;
    int cols = 0;
    bool bannerShown = true;

    double cellW() const { return (width - 1) / static_cast<double>(cols); }
    double cellH() const { return (height - 1) / static_cast<double>(rows); }
    CellLayout cell(int row, int col, int channelCount) const;
};

} // namespace display
