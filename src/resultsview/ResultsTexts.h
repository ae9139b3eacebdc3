#pragma once

// Words of the Results view and the recording commands, English and Chinese (UTF-8).
namespace resultsview {

struct ResultsTexts {
    const char* caption;
    const char* serial;
    const char* verdict;
    const char* allVerdicts;
    const char* refresh;
    const char* runs;
    const char* yield;
    const char* yieldHeader;
    const char* pareto;
    const char* channels;
    const char* time;
    const char* position;
    const char* failedCycles;
    const char* runId;
    const char* channel;
    const char* failures;
    const char* mode;
    const char* reference;
    const char* low;
    const char* high;
    const char* mean;
    const char* min;
    const char* max;
    const char* sd;
    const char* pass;
    const char* noFile;         // %1: the file
    const char* cannotRead;     // %1: the file, %2: the reason
    const char* shownRuns;      // %1 runs, %2 board results
    const char* positionFormat; // %1 index, %2 row, %3 col
};

inline constexpr ResultsTexts kEnglish{
    .caption = "Results",
    .serial = "Serial:",
    .verdict = "Verdict:",
    .allVerdicts = "All",
    .refresh = "Refresh",
    .runs = "Latest runs",
    .yield = "Yield per position",
    .yieldHeader = "Yield",
    .pareto = "Most failing channels",
    .channels = "Channels of the selected result",
    .time = "Time (UTC)",
    .position = "Position",
    .failedCycles = "Failed cycles",
    .runId = "Run",
    .channel = "Channel",
    .failures = "Failures",
    .mode = "Mode",
    .reference = "Reference",
    .low = "Low",
    .high = "High",
    .mean = "Mean",
    .min = "Min",
    .max = "Max",
    .sd = "SD",
    .pass = "Pass",
    .noFile = "No results recorded yet (%1).",
    .cannotRead = "The results file %1 cannot be read: %2",
    .shownRuns = "%1 runs, %2 board results shown",
    .positionFormat = "%1 (R%2 C%3)",
};

inline constexpr ResultsTexts kChinese{
    .caption = "测试结果",
    .serial = "序列号：",
    .verdict = "判定：",
    .allVerdicts = "全部",
    .refresh = "刷新",
    .runs = "最近的测试",
    .yield = "各位置良率",
    .yieldHeader = "良率",
    .pareto = "失败最多的通道",
    .channels = "所选结果的通道",
    .time = "时间 (UTC)",
    .position = "位置",
    .failedCycles = "失败周期",
    .runId = "测试",
    .channel = "通道",
    .failures = "失败次数",
    .mode = "模式",
    .reference = "基准",
    .low = "下限",
    .high = "上限",
    .mean = "平均",
    .min = "最小",
    .max = "最大",
    .sd = "标准差",
    .pass = "通过",
    .noFile = "尚无测试结果（%1）。",
    .cannotRead = "无法读取测试结果文件 %1：%2",
    .shownRuns = "显示 %1 次测试，%2 个结果",
    .positionFormat = "%1（%2行%3列）",
};

inline const ResultsTexts& resultsTexts(bool english)
{
    return english ? kEnglish : kChinese;
}

} // namespace resultsview
