#include "monitor/MonitorTexts.h"

#include "texts/Texts.h"

#include <charconv>
#include <cstdio>

namespace monitor::text {
namespace {

using texts::TextId;

std::string fixed(double value, int decimals)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

const char* verdictText(display::BoardVerdict verdict)
{
    switch (verdict) {
    case display::BoardVerdict::Pass:
        return "PASS";
    case display::BoardVerdict::Fail:
        return "FAIL";
    case display::BoardVerdict::Load:
        return "LOAD";
    case display::BoardVerdict::NotMeasured:
    case display::BoardVerdict::Loading:
        break;
    }
    return display::verdictName(verdict);
}

} // namespace

std::string windowTitle(int row, int col, int channels, bool english)
{
    char title[128];
    std::snprintf(title, sizeof title, texts::text(TextId::MonitorWindowTitle, english), row, col, channels);
    return title;
}

std::string summaryText(const BoardSummary& summary, bool english)
{
    const auto word = [english](TextId id) { return std::string(texts::text(id, english)); };
    std::string text = verdictText(summary.verdict);
    text += "    " + word(TextId::MonitorPearson) + " ";
    text += fixed(summary.pearson, 4);
    if (summary.pearsonEnable)
        text += " (" + word(TextId::MonitorThreshold) + " " + fixed(summary.pearsonThreshold, 4) + ")";
    else
        text += " (" + word(TextId::MonitorCheckOff) + ")";
    if (summary.worst) {
        text += "    " + word(TextId::MonitorWorst) + " ";
        text += std::to_string(summary.worst->channel);
        text += ", " + word(TextId::MonitorMargin) + " " + std::to_string(*summary.worst->margin);
        if (summary.worst->marginSigma)
            text += " (" + fixed(*summary.worst->marginSigma, 1) + " σ)";
        text += "    " + word(TextId::MonitorNoiseMedian) + " ";
        text += fixed(summary.noiseMedian, 2);
        text += ", " + word(TextId::MonitorNoiseMax) + " " + fixed(summary.noiseMax, 2);
    } else {
        text += "    " + word(TextId::MonitorNoJudgedChannel);
    }
    return text;
}

std::string notMeasuredText(bool english)
{
    return texts::text(TextId::MonitorNotMeasured, english);
}

} // namespace monitor::text
