#include "NumberField.h"

#include <charconv>

namespace setting {

WholeNumber parseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return {WholeNumber::Status::Empty, 0};
    if (text.front() == '+')
        text.remove_prefix(1); // from_chars takes a minus sign only
    std::int64_t value = 0;
    if (text.empty())
        return {WholeNumber::Status::Invalid, 0};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.front() == '+' || error != std::errc() || end != text.data() + text.size() || value < min ||
        value > max)
        return {WholeNumber::Status::Invalid, 0};
    return {WholeNumber::Status::Ok, value};
}

} // namespace setting
