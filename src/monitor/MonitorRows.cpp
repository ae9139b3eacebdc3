#include "monitor/MonitorRows.h"

#include "setup/ChannelMode.h"

#include <algorithm>

namespace monitor {
namespace {

std::optional<int> marginOf(std::uint8_t mode, int last, int low, int high)
{
    switch (static_cast<ChannelMode>(mode)) {
    case ChannelMode::Open:
        return std::min(high - last, last - low);
    case ChannelMode::LowerOnly:
        return last - low;
    case ChannelMode::UpperOnly:
        return high - last;
    default:
        return std::nullopt;
    }
}

} // namespace

std::vector<ChannelRow> monitorRows(const MonitorInput& input)
{
    std::vector<ChannelRow> rows;
    const int n = std::min<int>(input.panel.channelCount, display::kChannels);
    rows.reserve(static_cast<std::size_t>(n));
    for (int position = 0; position < n; ++position) {
        const int channel = input.panel.order[static_cast<std::size_t>(position)];
        if (channel >= display::kChannels)
            continue; // an order entry that names no channel shows nothing, as on the grid
        const auto c = static_cast<std::size_t>(channel);
        ChannelRow row;
        row.position = position;
        row.channel = channel;
        row.mode = input.panel.mask[c];
        row.reference = input.panel.reference[c];
        row.low = input.judged.low[c];
        row.high = input.judged.high[c];
        row.last = input.judged.counts[c];
        row.statistics = input.statistics.channels[c];
        row.judgement = input.judged.judgement[c];
        if (row.statistics.samples > 0) {
            row.drift = row.statistics.mean - row.reference;
            if (row.reference != 0)
                row.driftPercent = 100.0 * row.drift / row.reference;
        }
        if (row.judgement != display::ChannelJudgement::NotJudged) {
            row.margin = marginOf(row.mode, row.last, row.low, row.high);
            if (row.margin && row.statistics.stddev > 0.0)
                row.marginSigma = *row.margin / row.statistics.stddev;
        }
        rows.push_back(row);
    }
    return rows;
}

BoardSummary summarize(const MonitorInput& input, const std::vector<ChannelRow>& rows)
{
    BoardSummary summary;
    summary.verdict = input.judged.verdict;
    summary.pearson = input.judged.pearson;
    summary.pearsonEnable = input.panel.pearsonEnable != 0;
    summary.pearsonThreshold = input.panel.pearsonThreshold;
    std::vector<double> noise;
    for (const ChannelRow& row : rows) {
        if (!row.margin)
            continue;
        noise.push_back(row.statistics.stddev);
        if (!summary.worst || *row.margin < *summary.worst->margin)
            summary.worst = row;
    }
    if (!noise.empty()) {
        std::sort(noise.begin(), noise.end());
        const std::size_t mid = noise.size() / 2;
        summary.noiseMedian = noise.size() % 2 == 1 ? noise[mid] : (noise[mid - 1] + noise[mid]) / 2;
        summary.noiseMax = noise.back();
    }
    return summary;
}

std::vector<int> defaultTrendChannels(const std::vector<ChannelRow>& rows, std::size_t limit)
{
    std::vector<int> channels;
    for (const ChannelRow& row : rows)
        if (row.failing() && channels.size() < limit)
            channels.push_back(row.channel);
    if (!channels.empty())
        return channels;
    const ChannelRow* closest = nullptr;
    for (const ChannelRow& row : rows)
        if (row.margin && (closest == nullptr || *row.margin < *closest->margin))
            closest = &row;
    if (closest != nullptr && limit > 0)
        channels.push_back(closest->channel);
    return channels;
}

} // namespace monitor
