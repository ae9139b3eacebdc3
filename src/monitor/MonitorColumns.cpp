#include "monitor/MonitorColumns.h"

#include "persistence/CsvField.h"
#include "setup/ChannelMode.h"
#include "texts/Texts.h"

#include <charconv>
#include <limits>

namespace monitor {
namespace {

using texts::TextId;

constexpr std::array<TextId, kColumnCount> kTitles{
    TextId::MonitorColumnChannel,     TextId::MonitorColumnMode,         TextId::MonitorColumnReference,
    TextId::MonitorColumnLow,         TextId::MonitorColumnHigh,         TextId::MonitorColumnLast,
    TextId::MonitorColumnMean,        TextId::MonitorColumnStdDev,       TextId::MonitorColumnPeakToPeak,
    TextId::MonitorColumnDrift,       TextId::MonitorColumnDriftPercent, TextId::MonitorColumnMargin,
    TextId::MonitorColumnMarginSigma, TextId::MonitorColumnPass,
};

constexpr const char* kMissing = "-";
constexpr double kMissingKey = std::numeric_limits<double>::max();

std::string fixed(double value, int decimals)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// A sign on every figure that does not read as zero: "+0.3", "-0.3", "0.0" (never "-0.0").
std::string signedFixed(double value, int decimals)
{
    std::string magnitude = fixed(value < 0 ? -value : value, decimals);
    if (magnitude.find_first_not_of("0.") == std::string::npos)
        return magnitude;
    return (value < 0 ? "-" : "+") + magnitude;
}

std::string modeText(std::uint8_t mode, bool english)
{
    switch (static_cast<ChannelMode>(mode)) {
    case ChannelMode::Open:
        return texts::text(TextId::MonitorModeOpen, english);
    case ChannelMode::Closed:
        return texts::text(TextId::MonitorModeClosed, english);
    case ChannelMode::Masked:
        return texts::text(TextId::MonitorModeMasked, english);
    case ChannelMode::LowerOnly:
        return texts::text(TextId::MonitorModeLowerOnly, english);
    case ChannelMode::UpperOnly:
        return texts::text(TextId::MonitorModeUpperOnly, english);
    }
    return std::to_string(mode);
}

std::string passText(display::ChannelJudgement judgement)
{
    switch (judgement) {
    case display::ChannelJudgement::Pass:
        return "PASS";
    case display::ChannelJudgement::Fail:
        return "FAIL";
    case display::ChannelJudgement::NotJudged:
        break;
    }
    return kMissing;
}

bool hasSamples(const ChannelRow& row)
{
    return row.statistics.samples > 0;
}

} // namespace

std::string columnTitle(Column column, bool english)
{
    return texts::text(kTitles[static_cast<std::size_t>(column)], english);
}

std::string cellText(const ChannelRow& row, Column column, bool english)
{
    switch (column) {
    case Column::Channel:
        return std::to_string(row.channel);
    case Column::Mode:
        return modeText(row.mode, english);
    case Column::Reference:
        return std::to_string(row.reference);
    case Column::Low:
        return std::to_string(row.low);
    case Column::High:
        return std::to_string(row.high);
    case Column::Last:
        return std::to_string(row.last);
    case Column::Mean:
        return hasSamples(row) ? fixed(row.statistics.mean, 1) : kMissing;
    case Column::StdDev:
        return hasSamples(row) ? fixed(row.statistics.stddev, 2) : kMissing;
    case Column::PeakToPeak:
        return hasSamples(row) ? std::to_string(row.statistics.peakToPeak()) : kMissing;
    case Column::Drift:
        return hasSamples(row) ? signedFixed(row.drift, 1) : kMissing;
    case Column::DriftPercent:
        return row.driftPercent ? signedFixed(*row.driftPercent, 2) : kMissing;
    case Column::Margin:
        return row.margin ? std::to_string(*row.margin) : kMissing;
    case Column::MarginSigma:
        return row.marginSigma ? fixed(*row.marginSigma, 1) : kMissing;
    case Column::Pass:
        return passText(row.judgement);
    }
    return {};
}

double sortKey(const ChannelRow& row, Column column)
{
    switch (column) {
    case Column::Channel:
        return row.channel;
    case Column::Mode:
        return row.mode;
    case Column::Reference:
        return row.reference;
    case Column::Low:
        return row.low;
    case Column::High:
        return row.high;
    case Column::Last:
        return row.last;
    case Column::Mean:
        return hasSamples(row) ? row.statistics.mean : kMissingKey;
    case Column::StdDev:
        return hasSamples(row) ? row.statistics.stddev : kMissingKey;
    case Column::PeakToPeak:
        return hasSamples(row) ? row.statistics.peakToPeak() : kMissingKey;
    case Column::Drift:
        return hasSamples(row) ? row.drift : kMissingKey;
    case Column::DriftPercent:
        return row.driftPercent.value_or(kMissingKey);
    case Column::Margin:
        return row.margin ? *row.margin : kMissingKey;
    case Column::MarginSigma:
        return row.marginSigma.value_or(kMissingKey);
    case Column::Pass:
        switch (row.judgement) {
        case display::ChannelJudgement::Fail:
            return 0;
        case display::ChannelJudgement::Pass:
            return 1;
        case display::ChannelJudgement::NotJudged:
            break;
        }
        return 2;
    }
    return 0;
}

std::string tableCsv(const std::vector<ChannelRow>& rows, bool english)
{
    std::string csv;
    for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0)
            csv += ',';
        csv += csvField(columnTitle(static_cast<Column>(c), english));
    }
    csv += "\r\n";
    for (const ChannelRow& row : rows) {
        for (int c = 0; c < kColumnCount; ++c) {
            if (c > 0)
                csv += ',';
            csv += csvField(cellText(row, static_cast<Column>(c), english));
        }
        csv += "\r\n";
    }
    return csv;
}

} // namespace monitor
