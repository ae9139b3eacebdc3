#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// The raw-data capture files of the baseline dialog: one file per board position holding the
// captured sample rows (label, tick, one value per channel).
namespace rawdata {

// A line carries at least this many channel values (older stations read exactly 32) and every
// channel of a larger board, up to kMaxChannels.
inline constexpr int kChannelFields = 32;
inline constexpr int kMaxChannels = 64;
inline constexpr const char* kFolder = "rawdata";
inline constexpr const char* kReloadQuestion = "真正需要重新载入？";
inline constexpr const char* kFileMissing = "文件不存在";

// One row of the sample list.
struct SampleRow {
    int label = 0; // saved: the row's index at saving; loaded: the first number of the line
    bool ticked = false;
    std::array<int, kMaxChannels> values{}; // channel columns 1..64
    friend bool operator==(const SampleRow&, const SampleRow&) = default;
};

// "rawdata/rawdata_<row>_<col>.csv" below base (the station's working directory).
std::filesystem::path filePath(int row, int col, const std::filesystem::path& base = {});

// The file text for the rows of the list, top row first: "index,tick,v1,...,vN" per row with
// N = max(channels, 32) (at most 64), CR LF between lines, none after the last. The row's label
// is not saved; its index is.
std::string format(const std::vector<SampleRow>& rows, int channels = kChannelFields);
// Creates the folder and replaces the file as a whole (a failed write leaves an existing file as
// it was); false when it could not.
bool save(const std::filesystem::path& file, const std::vector<SampleRow>& rows,
          int channels = kChannelFields);

// The rows in the order the list shows them after loading: every line is inserted at the top,
// so the file's last line comes first. A line gives as many channel values as it holds, up to 64
// (files of older stations hold 32); values are kept to 16 bits; missing ones are 0; empty lines
// give no row.
std::vector<SampleRow> parse(std::string_view text);
// nullopt when the file cannot be opened: the caller then keeps its list as it is.
std::optional<std::vector<SampleRow>> load(const std::filesystem::path& file);

// A cell text read as a decimal integer up to the first non-digit; empty gives 0.
int cellValue(std::string_view text);

} // namespace rawdata
