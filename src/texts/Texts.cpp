#include "Texts.h"

#include "TextTable.h"

namespace texts {

namespace detail {
extern const Index kChineseIndex;
extern const Index kEnglishIndex;
} // namespace detail

const char* text(TextId id, bool english)
{
    const auto slot = static_cast<std::size_t>(id);
    if (slot >= detail::kTextCount)
        return "";
    return english ? detail::kEnglishIndex[slot] : detail::kChineseIndex[slot];
}

} // namespace texts
