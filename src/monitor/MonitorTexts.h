#pragma once

#include "monitor/MonitorRows.h"

#include <string>

// The monitor window's own texts in both languages.
namespace monitor::text {

struct Pair {
    const char* english;
    const char* chinese;
    const char* in(bool english_) const { return english_ ? english : chinese; }
};

inline constexpr Pair kContextItem{"Channel &Monitor\tM", "通道监视(&M)\tM"};
inline constexpr Pair kWindowK{"Window K (cycles):", "统计窗口 K (周期):"};
inline constexpr Pair kPause{"Pause trend", "暂停曲线"};
inline constexpr Pair kSaveChart{"Save chart as PNG...", "保存曲线为 PNG..."};
inline constexpr Pair kExportCsv{"Export table as CSV...", "导出表格为 CSV..."};
inline constexpr Pair kPngFilter{"PNG picture (*.png)", "PNG 图片 (*.png)"};
inline constexpr Pair kCsvFilter{"CSV file (*.csv)", "CSV 文件 (*.csv)"};
inline constexpr Pair kSaveFailed{"Could not save %1:\n%2", "无法保存 %1：\n%2"};
inline constexpr Pair kTrendHint{
    "Trend: select rows to choose channels (default: failing, else smallest margin)",
    "曲线：选择表格行以选择通道（默认：失败通道，否则余量最小的通道）"};

// "Monitor - Row 1 Col 0 - 64 channels", rows and columns counted as the context menu does.
std::string windowTitle(int row, int col, int channels, bool english);

// The board summary line: verdict, Pearson coefficient and threshold, worst channel and its
// margin, noise median and maximum.
std::string summaryText(const BoardSummary& summary, bool english);

// The summary while the board has no judged cycle (not shown, or not measured yet).
std::string notMeasuredText(bool english);

} // namespace monitor::text
