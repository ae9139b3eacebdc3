#include "ChannelOrderText.h"

#include <algorithm>
#include <cstdio>

namespace setting {

namespace {

constexpr std::size_t kMaxTextBytes = 254;
constexpr std::size_t kFieldWidth = 3;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

enum class FieldKind { Number, Blank, Other };

// Reads one field the way "%d" does: blanks skipped, optional sign, digits up to the first other
// character.
FieldKind scanField(std::string_view field, int& value)
{
    std::size_t i = 0;
    while (i < field.size() && isBlank(field[i]))
        ++i;
    if (i == field.size())
        return FieldKind::Blank;
    bool negative = false;
    if (field[i] == '+' || field[i] == '-') {
        negative = field[i] == '-';
        ++i;
    }
    if (i == field.size() || !isDigit(field[i]))
        return FieldKind::Other;
    int magnitude = 0;
    for (; i < field.size() && isDigit(field[i]); ++i)
        magnitude = magnitude * 10 + (field[i] - '0'); // at most three digits: no overflow
    value = negative ? -magnitude : magnitude;
    return FieldKind::Number;
}

} // namespace

std::string formatOrderText(const ChannelBytes& order, int n)
{
    std::string text;
    const int count = usedChannels(n);
    for (int i = 0; i < count; ++i) {
        char entry[8];
        std::snprintf(entry, sizeof entry, "%02d", order[static_cast<std::size_t>(i)]);
        if (i > 0)
            text += ',';
        text += entry;
    }
    return text;
}

std::vector<std::uint8_t> orderEntries(std::string_view text)
{
    std::string line(text.substr(0, std::min(text.size(), kMaxTextBytes)));
    if (const std::size_t comma = line.find(','); comma != std::string::npos)
        line[comma] = ' ';

    std::vector<std::uint8_t> entries;
    for (std::size_t start = 0; start < line.size(); start += kFieldWidth) {
        const std::string_view field = std::string_view(line).substr(start, kFieldWidth);
        if (field.size() < 2)
            break; // a last field of a single character is dropped
        int value = 0;
        switch (scanField(field, value)) {
        case FieldKind::Number:
            entries.push_back(static_cast<std::uint8_t>(value & 0xFF));
            break;
        case FieldKind::Blank:
            entries.push_back(0);
            break;
        case FieldKind::Other:
            break;
        }
    }
    return entries;
}

ParsedOrder parseOrderText(std::string_view text, int n)
{
    const int count = usedChannels(n);
    const std::vector<std::uint8_t> entries = orderEntries(text);
    ParsedOrder parsed;
    parsed.tooFewEntries = static_cast<int>(entries.size()) < count;
    for (int i = 0; i < count && i < static_cast<int>(entries.size()); ++i) {
        const std::uint8_t entry = entries[static_cast<std::size_t>(i)];
        if (entry >= count)
            ++parsed.badEntries;
        else
            parsed.order[static_cast<std::size_t>(i)] = entry;
    }
    return parsed;
}

} // namespace setting
