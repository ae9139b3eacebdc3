#pragma once

#include "Report.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

// Writes every report exchanged with the head to a text sink, one line each:
//   <seconds since the trace started, 6 decimals> W <130 hex digits>   a report written
//   <seconds> R <130 hex digits>                                       a report read
//   <seconds> R timeout                                                a read that timed out
//   # <text>                                                           a note
//   # late reply discarded <hex>                                       a stale reply dropped
// Thread-safe; lines are flushed as they are written so a trace survives a crash.
class ReportTrace {
public:
    // Appends to the file at path; isOpen() tells whether it could be opened.
    explicit ReportTrace(const std::string& path);
    // Writes to an already open stream (not closed by the trace), e.g. for tests.
    explicit ReportTrace(std::FILE* stream);
    ~ReportTrace();
    ReportTrace(const ReportTrace&) = delete;
    ReportTrace& operator=(const ReportTrace&) = delete;

    bool isOpen() const { return stream_ != nullptr; }

    void written(const Report& report);
    void read(const Report& report);
    void readTimeout();
    void note(std::string_view text);
    // A reply that arrived after its request had given up; written as a note, not as a read.
    void discarded(const Report& report);

    // The 130 lowercase hex digits of a report.
    static std::string hex(const Report& report);

private:
    void line(char direction, const Report* report);

    std::mutex mutex_;
    std::FILE* stream_ = nullptr;
    bool owned_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
