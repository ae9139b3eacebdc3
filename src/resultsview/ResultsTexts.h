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
    const char* yieldLine;      // %1 position, %2 row, %3 col, %4 yield, %5 passed, %6 judged
    const char* shownRuns;      // %1 runs, %2 board results
    const char* positionFormat; // %1 index, %2 row, %3 col
};

inline constexpr ResultsTexts kEnglish{
    "Results",
    "Serial:",
    "Verdict:",
    "All",
    "Refresh",
    "Latest runs",
    "Yield per position",
    "Most failing channels",
    "Channels of the selected result",
    "Time (UTC)",
    "Position",
    "Failed cycles",
    "Run",
    "Channel",
    "Failures",
    "Mode",
    "Reference",
    "Low",
    "High",
    "Mean",
    "Min",
    "Max",
    "SD",
    "Pass",
    "No results recorded yet (%1).",
    "The results file %1 cannot be read: %2",
    "Position %1 (row %2, col %3): %4  (%5 of %6 passed)",
    "%1 runs, %2 board results shown",
    "%1 (R%2 C%3)",
};

inline constexpr ResultsTexts kChinese{
    "测试结果",
    "序列号：",
    "判定：",
    "全部",
    "刷新",
    "最近的测试",
    "各位置良率",
    "失败最多的通道",
    "所选结果的通道",
    "时间 (UTC)",
    "位置",
    "失败周期",
    "测试",
    "通道",
    "失败次数",
    "模式",
    "基准",
    "下限",
    "上限",
    "平均",
    "最小",
    "最大",
    "标准差",
    "通过",
    "尚无测试结果（%1）。",
    "无法读取测试结果文件 %1：%2",
    "位置 %1（%2行 %3列）：%4（%6 块中 %5 块通过）",
    "显示 %1 次测试，%2 个结果",
    "%1（%2行%3列）",
};

inline const ResultsTexts& resultsTexts(bool english)
{
    return english ? kEnglish : kChinese;
}

} // namespace resultsview
