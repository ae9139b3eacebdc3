#include "ConfigValues.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace configvalue {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view skipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return text.substr(i);
}

bool holdsNumber(std::string_view text)
{
    text = skipBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    return !text.empty() && isDigit(text.front());
}

} // namespace

Integer parseInteger(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::uint64_t bits = 0;
    std::uint64_t magnitude = 0; // saturates at kLimit + 1
    for (char c : text) {
        if (!isDigit(c))
            break;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        bits = bits * 10 + digit; // wraps modulo 2^64: the low bits stay exact
        if (magnitude <= kLimit)
            magnitude = magnitude > (kLimit + 1 - digit) / 10 ? kLimit + 1 : magnitude * 10 + digit;
    }
    Integer result;
    result.bits = negative ? (~bits + 1) : bits;
    if (negative)
        result.value = magnitude > kLimit ? std::numeric_limits<std::int64_t>::min()
                                          : -static_cast<std::int64_t>(magnitude);
    else
        result.value = magnitude > kLimit ? std::numeric_limits<std::int64_t>::max()
                                          : static_cast<std::int64_t>(magnitude);
    return result;
}

std::uint8_t toU8(std::string_view text)
{
    return static_cast<std::uint8_t>(parseInteger(text).bits & 0xFF);
}
std::uint16_t toU16(std::string_view text)
{
    return static_cast<std::uint16_t>(parseInteger(text).bits & 0xFFFF);
}
bool toFlag(std::string_view text)
{
    return (parseInteger(text).bits & 1) != 0;
}

std::vector<Integer> parseList(std::string_view text)
{
    std::vector<Integer> values;
    if (text.find(',') == std::string_view::npos) {
        if (holdsNumber(text))
            values.push_back(parseInteger(text));
        return values;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        values.push_back(
            parseInteger(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start)));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return values;
}

std::optional<Rgbx> parseColor(std::string_view text)
{
    const auto values = parseList(text);
    if (values.size() != 3)
        return std::nullopt;
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(values[i].bits & 0xFF); };
    return Rgbx::fromRgb(byte(0), byte(1), byte(2));
}

std::optional<std::array<std::uint8_t, 8>> parseAddressList(std::string_view text)
{
    const auto values = parseList(text);
    if (values.size() != 8)
        return std::nullopt;
    std::array<std::uint8_t, 8> addresses{};
    for (std::size_t i = 0; i < addresses.size(); ++i)
        addresses[i] = static_cast<std::uint8_t>(values[i].bits & 0xFF);
    return addresses;
}

double parseReal(std::string_view text)
{
    text = skipBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range)
        return 0.0; // from_chars leaves value untouched; treat an overflowing text as no number
    if (error != std::errc() || !std::isfinite(value))
        return 0.0;
    (void)end;
    return value;
}

std::string formatInteger(long long value)
{
    return std::to_string(value);
}

std::string formatColor(const Rgbx& color)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%03d,%03d,%03d", color.red, color.green, color.blue);
    return buffer;
}

std::string formatAddressList(std::span<const std::uint8_t, 8> addresses)
{
    std::string text;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(addresses[i]);
    }
    return text;
}

std::string formatList(std::span<const std::uint16_t> values)
{
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(values[i]);
    }
    return text;
}

std::string formatReal(double value)
{
    if (!std::isfinite(value))
        return "0";
    char buffer[64];
    // to_chars uses the C locale's rules whatever the process locale, unlike printf.
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    if (error != std::errc())
        return "0";
    return std::string(buffer, end);
}

} // namespace configvalue
