#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <span>

// The result record file: while recording is on, every board read appends one line with its
// first 40 counts. The file is never truncated; each run (each RecordFile object: the station
// keeps one for the process) writes one header line before its first record.
class RecordFile {
public:
    static constexpr int kFields = 40;
    static constexpr const char* kDefaultName = "recoder.csv"; // in the current directory

    explicit RecordFile(std::filesystem::path path = kDefaultName);

    // Appends one record line from counts 0..39 (missing counts are written as 0). A file that
    // cannot be opened is skipped silently for this append; the next append tries again.
    void append(std::span<const std::uint16_t> counts);

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::atomic<bool> headerWritten_{false};
};
