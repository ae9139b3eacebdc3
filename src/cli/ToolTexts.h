#pragma once

// The tool's own messages, for situations the window reports in its caption or not at all. The
// window's texts are used where the window has one.
namespace cli::text {

inline constexpr const char* kTraceUnopenable = "cannot open trace file ";

} // namespace cli::text
