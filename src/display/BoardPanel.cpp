#include "display/BoardPanel.h"

#include <algorithm>

namespace display {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

template <typename T, typename V> void storeFirst(BoardPanel::Channels<T>& target, std::span<const V> values)
{
    const std::size_t n = std::min<std::size_t>(values.size(), kChannels);
    for (std::size_t i = 0; i < n; ++i)
        target[i].store(values[i], kRelaxed);
}

template <typename T, std::size_t N>
void loadAll(const BoardPanel::Channels<T>& source, std::array<T, N>& target)
{
    for (std::size_t i = 0; i < N; ++i)
        target[i] = source[i].load(kRelaxed);
}

} // namespace

BoardPanel::BoardPanel()
{
    for (int i = 0; i < kChannels; ++i) {
        thresholdHigh[i].store(0, kRelaxed);
        thresholdLow[i].store(0, kRelaxed);
        mask[i].store(0, kRelaxed);
        raw[i].store(0, kRelaxed);
        reference[i].store(0, kRelaxed);
        excess[i].store(0, kRelaxed);
    }
    setIdentityOrder();
}

void BoardPanel::SetReferences(std::span<const std::uint16_t> values)
{
    storeFirst(reference, values);
}
void BoardPanel::SetThresholdsHigh(std::span<const std::uint16_t> values)
{
    storeFirst(thresholdHigh, values);
}
void BoardPanel::SetThresholdsLow(std::span<const std::uint16_t> values)
{
    storeFirst(thresholdLow, values);
}
void BoardPanel::SetMasks(std::span<const std::uint8_t> values)
{
    storeFirst(mask, values);
}
void BoardPanel::setOrder(std::span<const std::uint8_t> values)
{
    storeFirst(order, values);
}

void BoardPanel::setIdentityOrder()
{
    for (int i = 0; i < kChannels; ++i)
        order[i].store(static_cast<std::uint8_t>(i), kRelaxed);
}

void BoardPanel::setRaw(const std::uint16_t* counts, int n)
{
    if (counts == nullptr || n <= 0)
        return;
    storeFirst(raw, std::span<const std::uint16_t>(counts, static_cast<std::size_t>(n)));
}

void BoardPanel::setViewRange(double max, double min)
{
    viewRangeMax.store(max, kRelaxed);
    viewRangeMin.store(min, kRelaxed);
}

void BoardPanel::setPearsonCheck(bool enable, double threshold)
{
    pearsonThreshold.store(threshold, kRelaxed);
    pearsonEnable.store(enable, kRelaxed);
}

void BoardPanel::setChannelCount(int count)
{
    channelCount.store(static_cast<std::uint8_t>(std::clamp(count, 0, kChannels)), kRelaxed);
}

void BoardPanel::ClearExcess()
{
    for (auto& latch : excess)
        latch.store(0, kRelaxed);
}

BoardSnapshot BoardPanel::snapshot() const
{
    BoardSnapshot s;
    loadAll(thresholdHigh, s.thresholdHigh);
    loadAll(thresholdLow, s.thresholdLow);
    loadAll(mask, s.mask);
    loadAll(raw, s.raw);
    loadAll(reference, s.reference);
    loadAll(order, s.order);
    loadAll(excess, s.excess);
    s.viewRangeMax = viewRangeMax.load(kRelaxed);
    s.viewRangeMin = viewRangeMin.load(kRelaxed);
    s.pearsonThreshold = pearsonThreshold.load(kRelaxed);
    s.pearsonEnable = pearsonEnable.load(kRelaxed) ? 1 : 0;
    s.channelCount = std::min<std::uint8_t>(channelCount.load(kRelaxed), kChannels);
    s.verdict = verdict.load(kRelaxed);
    s.pearson = pearson.load(kRelaxed);
    return s;
}

} // namespace display
