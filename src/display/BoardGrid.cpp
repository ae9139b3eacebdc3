#include "display/BoardGrid.h"

#include <span>

namespace display {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

std::uint32_t pack(Rgbx c)
{
    return static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 | c.blue;
}

Rgbx unpack(std::uint32_t v)
{
    return Rgbx::fromRgb(static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                         static_cast<std::uint8_t>(v));
}

template <typename T> std::span<const T> firstEntries(int count, const T* values)
{
    if (values == nullptr || count <= 0)
        return {};
    return {values, static_cast<std::size_t>(count < kChannels ? count : kChannels)};
}

} // namespace

BoardGrid::BoardGrid(GridCounts& counts) : counts_(counts)
{
    setColorScheme(ColorScheme{});
}

void BoardGrid::SetReferences(int count, int row, int col, const std::uint16_t* values)
{
    if (inStorage(row, col))
        panel(row, col).SetReferences(firstEntries(count, values));
}

void BoardGrid::SetThresholdsHigh(int count, int row, int col, const std::uint16_t* values)
{
    if (inStorage(row, col))
        panel(row, col).SetThresholdsHigh(firstEntries(count, values));
}

void BoardGrid::SetThresholdsLow(int count, int row, int col, const std::uint16_t* values)
{
    if (inStorage(row, col))
        panel(row, col).SetThresholdsLow(firstEntries(count, values));
}

void BoardGrid::SetMasks(int count, int row, int col, const std::uint8_t* values)
{
    if (inStorage(row, col))
        panel(row, col).SetMasks(firstEntries(count, values));
}

void BoardGrid::setRaw(int row, int col, const std::uint16_t* counts, int n)
{
    if (inStorage(row, col))
        panel(row, col).setRaw(counts, n);
}

void BoardGrid::ClearExcess()
{
    const auto [rows, cols] = counts_.get();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            panel(r, c).ClearExcess();
}

void BoardGrid::setColorScheme(const ColorScheme& scheme)
{
    colors_[0].store(pack(scheme.passColor), kRelaxed);
    colors_[1].store(pack(scheme.excessColor), kRelaxed);
    colors_[2].store(pack(scheme.highColor), kRelaxed);
    colors_[3].store(pack(scheme.lowColor), kRelaxed);
    colors_[4].store(pack(scheme.maskColor), kRelaxed);
    colorFlags_.store(scheme.colorFlags, kRelaxed);
}

ColorScheme BoardGrid::colorScheme() const
{
    ColorScheme s;
    s.passColor = unpack(colors_[0].load(kRelaxed));
    s.excessColor = unpack(colors_[1].load(kRelaxed));
    s.highColor = unpack(colors_[2].load(kRelaxed));
    s.lowColor = unpack(colors_[3].load(kRelaxed));
    s.maskColor = unpack(colors_[4].load(kRelaxed));
    s.colorFlags = colorFlags_.load(kRelaxed);
    return s;
}

} // namespace display
