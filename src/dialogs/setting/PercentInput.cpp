#include "PercentInput.h"

#include <charconv>
#include <cmath>

namespace setting {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<double> parsePercent(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1); // from_chars takes a minus sign only
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace setting
