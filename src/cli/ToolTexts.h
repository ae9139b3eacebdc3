#pragma once

// The tool's own messages, for situations the window reports in its caption or not at all. The
// window's texts are used where the window has one.
namespace cli::text {

inline constexpr const char* kTraceUnopenable = "cannot open trace file ";
inline constexpr const char* kHeadLostEnglish = "Head not responding";
inline constexpr const char* kHeadLostChinese = "测试头无响应";
inline constexpr const char* kFileUnreadableEnglish = "Cannot read the file: ";
inline constexpr const char* kFileUnreadableChinese = "无法读取文件：";

} // namespace cli::text
