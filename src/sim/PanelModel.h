#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <vector>

// The panel wired to one port of an expansion board, as the head measures it: every channel
// reads its base count plus a little noise; a defective channel always reads a fixed count.
// The noise comes from a seeded generator, so a run of reads is the same every time.
class PanelModel {
public:
    PanelModel() = default;
    PanelModel(std::vector<std::uint16_t> baseCounts, int noise, std::uint32_t seed);

    // That channel reads `count` from now on, whatever its base.
    void setDefect(int channel, std::uint16_t count);

    // One measurement of channels 0..n-1; channels the panel does not have read 0.
    std::vector<std::uint16_t> read(int n);

    int channelCount() const { return static_cast<int>(baseCounts_.size()); }

private:
    std::vector<std::uint16_t> baseCounts_;
    int noise_ = 0;
    std::map<int, std::uint16_t> defects_;
    std::mt19937 random_;
};
