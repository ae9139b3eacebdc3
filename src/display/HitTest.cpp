#include "display/HitTest.h"

#include "display/BoardGrid.h"
#include "display/Layout.h"
#include "setup/ChannelMode.h"

namespace display {

HitResult HitTest(int width, int height, const BoardGrid& grid, MousePoint point, HitResult previous)
{
    const auto [rows, cols] = grid.counts().get();
    const double cellW = (width - 1) / static_cast<double>(cols);
    const double cellH = (height - 1) / static_cast<double>(rows);

    HitResult hit = previous;
    hit.hitCol = toInt(point.x / cellW);
    hit.hitRow = toInt(point.y / cellH);
    hit.shown = point.x >= 0 && point.y >= 0 && hit.hitCol < cols && hit.hitRow < rows;

    int m = 32;
    if (BoardGrid::inStorage(hit.hitRow, hit.hitCol)) {
        const int count = grid.panel(hit.hitRow, hit.hitCol).channels();
        if (count != 0)
            m = count < kChannels ? count : kChannels;
    }
    const double s = cellW / m;
    const double x0 = hit.hitCol * cellW;
    for (int j = 0; j < m; ++j) {
        if (toInt(x0 + j * s + 2) < point.x && point.x < toInt(x0 + (j + 1) * s - 1)) {
            hit.hitSlot = j;
            break;
        }
    }
    return hit;
}

std::uint8_t nextChannelMode(std::uint8_t mode)
{
    switch (static_cast<ChannelMode>(mode)) {
    case ChannelMode::Open:
        return static_cast<std::uint8_t>(ChannelMode::Closed);
    case ChannelMode::Closed:
        return static_cast<std::uint8_t>(ChannelMode::Masked);
    case ChannelMode::Masked:
        return static_cast<std::uint8_t>(ChannelMode::LowerOnly);
    case ChannelMode::LowerOnly:
        return static_cast<std::uint8_t>(ChannelMode::UpperOnly);
    case ChannelMode::UpperOnly:
        return static_cast<std::uint8_t>(ChannelMode::Open);
    }
    return mode;
}

} // namespace display
