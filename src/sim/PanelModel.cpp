#include "PanelModel.h"

#include <algorithm>
#include <utility>

PanelModel::PanelModel(std::vector<std::uint16_t> baseCounts, int noise, std::uint32_t seed)
    : baseCounts_(std::move(baseCounts)), noise_(std::max(0, noise)), random_(seed)
{
}

void PanelModel::setDefect(int channel, std::uint16_t count)
{
    if (channel >= 0)
        defects_[channel] = count;
}

std::vector<std::uint16_t> PanelModel::read(int n)
{
    std::vector<std::uint16_t> counts(static_cast<std::size_t>(std::max(0, n)), 0);
    std::uniform_int_distribution<int> noise(-noise_, noise_);
    for (int channel = 0; channel < n; ++channel) {
        if (const auto defect = defects_.find(channel); defect != defects_.end()) {
            counts[channel] = defect->second;
        } else if (channel < channelCount()) {
            const int value = baseCounts_[channel] + noise(random_);
            counts[channel] = static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF));
        }
    }
    return counts;
}
