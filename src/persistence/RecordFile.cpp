#include "RecordFile.h"

#include <cstdio>
#include <string>

RecordFile::RecordFile(std::filesystem::path path) : path_(std::move(path)) {}

void RecordFile::append(std::span<const std::uint16_t> counts)
{
    // Text mode: the platform's line end, as a spreadsheet on that platform expects.
    std::FILE* file = std::fopen(path_.string().c_str(), "a");
    if (file == nullptr)
        return;
    if (!headerWritten_.load(std::memory_order_relaxed)) {
        std::string header;
        for (int i = 0; i < kFields; ++i)
            header += "CH" + std::to_string(i) + ",";
        header += "\n";
        std::fputs(header.c_str(), file);
        std::fflush(file);
        headerWritten_.store(true, std::memory_order_relaxed);
    }
    std::string line;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kFields); ++i)
        line += std::to_string(i < counts.size() ? counts[i] : 0) + ",";
    line += "\n";
    std::fputs(line.c_str(), file);
    std::fflush(file);
    std::fclose(file);
}
