#include "RawDataFile.h"

#include "AtomicFile.h"
#include "ConfigValues.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace rawdata {

std::filesystem::path filePath(int row, int col, const std::filesystem::path& base)
{
    char name[64];
    std::snprintf(name, sizeof name, "rawdata_%d_%d.csv", row, col);
    return base / kFolder / name;
}

std::string format(const std::vector<SampleRow>& rows, int channels)
{
    const auto fields = static_cast<std::size_t>(std::clamp(channels, kChannelFields, kMaxChannels));
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0)
            text += "\r\n";
        text += std::to_string(r) + "," + (rows[r].ticked ? "1" : "0");
        for (std::size_t i = 0; i < fields; ++i)
            text += "," + std::to_string(rows[r].values[i]);
    }
    return text;
}

bool save(const std::filesystem::path& file, const std::vector<SampleRow>& rows, int channels)
{
    std::error_code error;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), error);
    return atomicfile::write(file, format(rows, channels));
}

std::vector<SampleRow> parse(std::string_view text)
{
    std::vector<SampleRow> rows;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty()) {
            std::vector<std::uint16_t> numbers;
            std::size_t piece = 0;
            while (true) {
                const std::size_t comma = line.find(',', piece);
                const auto part =
                    line.substr(piece, comma == std::string_view::npos ? line.npos : comma - piece);
                numbers.push_back(static_cast<std::uint16_t>(configvalue::parseInteger(part).bits & 0xFFFF));
                if (comma == std::string_view::npos || numbers.size() >= 2 + kMaxChannels)
                    break;
                piece = comma + 1;
            }
            numbers.resize(2 + kMaxChannels, 0);
            SampleRow row;
            row.label = numbers[0];
            row.ticked = numbers[1] != 0;
            for (std::size_t i = 0; i < row.values.size(); ++i)
                row.values[i] = numbers[2 + i];
            rows.insert(rows.begin(), row);
        }
        if (end == text.size())
            break;
        start = end + 1;
    }
    return rows;
}

std::optional<std::vector<SampleRow>> load(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    return parse(content.str());
}

int cellValue(std::string_view text)
{
    return static_cast<int>(static_cast<std::int32_t>(configvalue::parseInteger(text).bits & 0xFFFFFFFFu));
}

} // namespace rawdata
