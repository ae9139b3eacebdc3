#include "display/Layout.h"

#include <algorithm>

namespace display {

SlotExtents CellLayout::slot(int i) const
{
    const double left = x0 + i * chW;
    const double right = x0 + (i + 1) * chW;
    SlotExtents s;
    s.frameLeft = toInt(left + 2);
    s.frameRight = toInt(right - 1);
    s.x1 = toInt(left + 3);
    s.x2 = toInt(right - 2);
    s.barLeft = toInt(left + chW / 4);
    s.barRight = toInt(right - chW / 4 + 1);
    return s;
}

double CellLayout::level(double v, double viewRangeMax, double viewRangeMin) const
{
    if (!(hBar > 0))
        return 0;
    const double span = viewRangeMax - viewRangeMin;
    if (span == 0 || !std::isfinite(span))
        return hBar;
    const double l = hBar - (v - viewRangeMin) * hBar / span;
    if (std::isnan(l))
        return hBar;
    if (l <= 0)
        return 0;
    return std::min(l, hBar);
}

PixelRect CellLayout::labelStrip() const
{
    return {toInt(x0 + 2), toInt(y0 + toInt(0.95 * cellH) - 0.125 * cellH) + ext, toInt(x0 + cellW - 1),
            toInt(y0 + cellH - 1 - 0.125 * cellH) + ext};
}

PixelRect CellLayout::bannerStrip() const
{
    return {toInt(x0 + 2), toInt(y0 + toInt(0.875 * cellH)), toInt(x0 + cellW - 1), toInt(y0 + cellH - 1)};
}

PixelRect CellLayout::labelRect(int i) const
{
    const double lt = y0 + toInt(0.95 * cellH) - 0.125 * cellH;
    const double lb = y0 + cellH - 1 - 0.125 * cellH;
    const SlotExtents s = slot(i);
    return {s.x1, toInt(lt + 2) + ext, s.x2, toInt(lb - 2) + ext};
}

int CellLayout::labelFontHeight() const
{
    const double lt = y0 + toInt(0.95 * cellH) - 0.125 * cellH;
    const double lb = y0 + cellH - 1 - 0.125 * cellH;
    return toInt(lb) - toInt(lt);
}

int CellLayout::labelFontWidth() const
{
    return ((toInt(x0 + cellW - 1) - toInt(x0 + 2)) / n) / 4;
}

PixelRect CellLayout::interior() const
{
    return {toInt(x0) + 1, toInt(y0) + 1, toInt(x0 + cellW), toInt(y0 + cellH)};
}

CellLayout GridLayout::cell(int row, int col, int channelCount) const
{
    CellLayout c;
    c.cellW = cellW();
    c.cellH = cellH();
    c.x0 = col * c.cellW;
    c.y0 = row * c.cellH;
    c.n = std::max(std::min(channelCount, 64), 2);
    c.chW = c.cellW / c.n;
    c.yTop = toInt(c.y0 + 3);
    c.hBar = 0.95 * c.cellH - 0.125 * c.cellH - 6;
    c.ext = bannerShown ? 0 : toInt(toInt(c.cellH) * 0.125);
    c.yBot = toInt(c.yTop + c.hBar) + c.ext;
    return c;
}

} // namespace display
