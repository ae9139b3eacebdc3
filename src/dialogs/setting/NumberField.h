#pragma once

#include <cstdint>
#include <string_view>

// A count or percentage typed into the baseline dialog is taken only when the whole text is one
// decimal integer within the field's range (blanks around it allowed): "abc", "-10", "12abc" or
// 70000 in a 16-bit field are refused instead of being read as 0, 65526, 12 or 4464.
namespace setting {

struct WholeNumber {
    enum class Status { Ok, Empty, Invalid };
    Status status = Status::Empty;
    std::int64_t value = 0;
};

WholeNumber parseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max);

} // namespace setting
