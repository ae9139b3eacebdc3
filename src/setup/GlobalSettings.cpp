#include "GlobalSettings.h"

#include "LittleEndian.h"

#include <algorithm>

namespace {

Rgbx getColor(const std::uint8_t* p)
{
    return {p[0], p[1], p[2], p[3]};
}

void putColor(std::uint8_t* p, const Rgbx& c)
{
    p[0] = c.red;
    p[1] = c.green;
    p[2] = c.blue;
    p[3] = c.extra;
}

} // namespace

GlobalSettings GlobalSettings::decode(std::span<const std::uint8_t, kSize> bytes)
{
    const std::uint8_t* b = bytes.data();
    GlobalSettings g;
    g.outputFlags = b[0];
    g.lockFlags = b[1];
    std::copy_n(b + 2, 2, g.reserved2.begin());
    g.viewRangeMax = le::get16(b + 4);
    g.viewRangeMin = le::get16(b + 6);
    g.judgeType = b[8];
    g.percentage = le::get16(b + 9);
    g.allowedHigh = le::get16(b + 11);
    g.allowedLow = le::get16(b + 13);
    g.excessIndication = b[15];
    g.expandBoardCount = b[16];
    std::copy_n(b + 17, 8, g.expandBoardAddress.begin());
    g.gridCols = b[25];
    g.gridRows = b[26];
    std::copy_n(b + 27, 8, g.reserved27.begin());
    g.colors.passColor = getColor(b + 35);
    g.colors.excessColor = getColor(b + 39);
    g.colors.highColor = getColor(b + 43);
    g.colors.lowColor = getColor(b + 47);
    g.colors.maskColor = getColor(b + 51);
    g.colors.colorFlags = b[55];
    return g;
}

void GlobalSettings::encodeInto(std::span<std::uint8_t, kSize> bytes) const
{
    std::uint8_t* b = bytes.data();
    b[0] = outputFlags;
    b[1] = lockFlags;
    std::copy_n(reserved2.begin(), 2, b + 2);
    le::put16(b + 4, viewRangeMax);
    le::put16(b + 6, viewRangeMin);
    b[8] = judgeType;
    le::put16(b + 9, percentage);
    le::put16(b + 11, allowedHigh);
    le::put16(b + 13, allowedLow);
    b[15] = excessIndication;
    b[16] = expandBoardCount;
    std::copy_n(expandBoardAddress.begin(), 8, b + 17);
    b[25] = gridCols;
    b[26] = gridRows;
    std::copy_n(reserved27.begin(), 8, b + 27);
    putColor(b + 35, colors.passColor);
    putColor(b + 39, colors.excessColor);
    putColor(b + 43, colors.highColor);
    putColor(b + 47, colors.lowColor);
    putColor(b + 51, colors.maskColor);
    b[55] = colors.colorFlags;
}

GlobalSettings::Bytes GlobalSettings::encode() const
{
    Bytes bytes{};
    encodeInto(bytes);
    return bytes;
}
