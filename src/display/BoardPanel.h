#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

// The grid view's working record of one board position and a plain copy of it.
//
// Several threads use a panel without a lock: the acquisition loop writes `raw` and reads `mask`,
// board loading and the one-key setting write references, thresholds, masks, order and view
// ranges, and the view reads everything while it paints and writes `excess`, `pearson` and (on a
// double-click in the preview) one `mask` entry. Every field is therefore an atomic; each value
// stands alone, so relaxed order is enough. A repaint may show a board half updated for one tick,
// never a torn value.
namespace display {

inline constexpr int kChannels = 64;

// A plain copy of one panel, taken once per repaint: painting and judging work on one consistent
// set of values while the acquisition thread keeps writing the panel.
struct BoardSnapshot {
    std::array<std::uint16_t, kChannels> thresholdHigh{};
    std::array<std::uint16_t, kChannels> thresholdLow{};
    std::array<std::uint8_t, kChannels> mask{};
    std::array<std::uint16_t, kChannels> raw{};
    std::array<std::uint16_t, kChannels> reference{};
    std::array<std::uint8_t, kChannels> order{};
    std::array<std::uint8_t, kChannels> excess{};
    double viewRangeMax = 8000.0;
    double viewRangeMin = 0.0;
    double pearsonThreshold = 0.0;
    std::uint8_t pearsonEnable = 0;
    std::uint8_t channelCount = 0;
    // The published judgement: BoardVerdict value and coefficient (see Verdict.h).
    std::uint8_t verdict = 3; // NotMeasured
    double pearson = 0.0;

    friend bool operator==(const BoardSnapshot&, const BoardSnapshot&) = default;
};

struct BoardPanel {
    BoardPanel(); // defaults: everything 0, identity order, view range 0..8000

    BoardPanel(const BoardPanel&) = delete;
    BoardPanel& operator=(const BoardPanel&) = delete;

    template <typename T> using Channels = std::array<std::atomic<T>, kChannels>;

    Channels<std::uint16_t> thresholdHigh;
    Channels<std::uint16_t> thresholdLow;
    Channels<std::uint8_t> mask; // ChannelMode values; any other value is kept as stored
    Channels<std::uint16_t> raw;
    Channels<std::uint16_t> reference;
    Channels<std::uint8_t> order; // channel shown at each display position
    std::atomic<double> viewRangeMax{8000.0};
    std::atomic<double> viewRangeMin{0.0};
    Channels<std::uint8_t> excess; // latch: non-zero once the count has been above thresholdHigh
    std::atomic<bool> pearsonEnable{false};
    std::atomic<double> pearson{0.0};
    std::atomic<double> pearsonThreshold{0.0};
    std::atomic<std::uint8_t> channelCount{0};
    // What the acquisition cycle judged (a BoardVerdict value; NotMeasured until it has) and when
    // the counts it judged were read (steady clock, ms). Board loading sets Loading, and clears
    // `loaded` until every array and the record of the board have arrived.
    std::atomic<std::uint8_t> verdict{3};
    std::atomic<std::int64_t> countsAt{0};
    std::atomic<bool> loaded{false};

    // Whole-array setters: copy the first min(values.size(), 64) entries into channels 0.., later
    // entries keep their values.
    void SetReferences(std::span<const std::uint16_t> values);
    void SetThresholdsHigh(std::span<const std::uint16_t> values);
    void SetThresholdsLow(std::span<const std::uint16_t> values);
    void SetMasks(std::span<const std::uint8_t> values);
    void setOrder(std::span<const std::uint8_t> values);
    void setIdentityOrder();
    void setRaw(const std::uint16_t* counts, int n); // the acquisition loop's write; n < 0 is none
    void setRaw(std::span<const std::uint16_t> counts)
    {
        setRaw(counts.data(), static_cast<int>(counts.size()));
    }
    void setViewRange(double max, double min);
    void setPearsonCheck(bool enable, double threshold);
    void setChannelCount(int count); // limited to 0..64
    void ClearExcess();

    std::uint8_t modeOf(int channel) const { return mask[channel].load(std::memory_order_relaxed); }
    std::uint16_t rawOf(int channel) const { return raw[channel].load(std::memory_order_relaxed); }
    int channels() const { return channelCount.load(std::memory_order_relaxed); }

    BoardSnapshot snapshot() const;
};

} // namespace display
