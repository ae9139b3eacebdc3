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
    const char* noFile;     // %1: the file
    const char* cannotRead; // %1: the file, %2: the reason
    const char* shownRuns;  // %1 runs, %2 board results
    const char* positionFormat;
    const char* serialFor;
    const char* recording;
    const char* recorded;
    const char* problem;
    const char* recoveredText;
    const char* duplicate;
    const char* noHead;
    const char* busy;
    const char* notStarted;
    const char* menu;
    const char* recordCommand;
    const char* showCommand; // %1 index, %2 row, %3 col
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
    .serialFor = "Serial, position %1:",
    .recording = "Recording a result over %1 cycles ...",
    .recorded = "Result recorded at %1: %2",
    .problem = "Test results cannot be saved to %1: %2. Testing goes on; %3 result(s) are kept and will be "
               "saved as soon as the file can be written again.",
    .recoveredText = "The results kept in memory have been saved.",
    .duplicate = "The serial %1 has already been given to position %2 of this run.",
    .noHead = "No test head is running: no result can be recorded.",
    .busy = "A result is already being recorded.",
    .notStarted = "The result cannot be recorded: %1.",
    .menu = "&Results",
    .recordCommand = "&Record result	F9",
    .showCommand = "&Show results",
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
    .serialFor = "序列号，位置 %1：",
    .recording = "正在记录结果（%1 个周期）……",
    .recorded = "结果已记录 %1：%2",
    .problem = "测试结果无法保存到 %1：%2。测试继续；%3 个结果保存在内存中，文件可写后立即保存。",
    .recoveredText = "内存中的测试结果已保存。",
    .duplicate = "序列号 %1 已分配给本次测试的位置 %2。",
    .noHead = "测试头未运行：无法记录结果。",
    .busy = "正在记录结果。",
    .notStarted = "无法记录结果：%1。",
    .menu = "测试结果(&R)",
    .recordCommand = "记录结果(&R)	F9",
    .showCommand = "查看结果(&S)",
};

inline const ResultsTexts& resultsTexts(bool english)
{
    return english ? kEnglish : kChinese;
}

} // namespace resultsview
