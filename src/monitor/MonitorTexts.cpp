#include "monitor/MonitorTexts.h"

#include <charconv>

namespace monitor::text {
namespace {

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
    if (english)
        return "Monitor - Row " + std::to_string(row) + " Col " + std::to_string(col) + " - " +
               std::to_string(channels) + " channels";
    return "通道监视 - " + std::to_string(row) + "行" + std::to_string(col) + "列 - " +
           std::to_string(channels) + "通道";
}

std::string summaryText(const BoardSummary& summary, bool english)
{
    std::string text = verdictText(summary.verdict);
    text += english ? "    Pearson " : "    相关系数 ";
    text += fixed(summary.pearson, 4);
    if (summary.pearsonEnable)
        text += (english ? " (threshold " : " (阈值 ") + fixed(summary.pearsonThreshold, 4) + ")";
    else
        text += english ? " (check off)" : " (未启用)";
    if (summary.worst) {
        text += english ? "    Worst: ch " : "    最差: 通道 ";
        text += std::to_string(summary.worst->channel);
        text += (english ? ", margin " : ", 余量 ") + std::to_string(*summary.worst->margin);
        if (summary.worst->marginSigma)
            text += " (" + fixed(*summary.worst->marginSigma, 1) + " σ)";
        text += english ? "    Noise: median " : "    噪声: 中位 ";
        text += fixed(summary.noiseMedian, 2);
        text += (english ? ", max " : ", 最大 ") + fixed(summary.noiseMax, 2);
    } else {
        text += english ? "    No judged channel" : "    无判定通道";
    }
    return text;
}

std::string notMeasuredText(bool english)
{
    return english ? "Not measured: the board is not shown or no cycle has judged it yet"
                   : "未测量：该板未显示或尚未判定";
}

} // namespace monitor::text
