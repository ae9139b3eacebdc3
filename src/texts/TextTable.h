#pragma once

#include "Texts.h"

#include <array>
#include <cstddef>

// The shape of a language's table and the compile-time check that it names every id once.
namespace texts::detail {

struct Entry {
    TextId id;
    const char* text;
};

inline constexpr std::size_t kTextCount = static_cast<std::size_t>(TextId::Count);

using Index = std::array<const char*, kTextCount>;

// The table's texts ordered by id; an id missing or given twice leaves a null or is reported.
template <std::size_t N> consteval Index indexOf(const Entry (&table)[N])
{
    Index index{};
    for (const Entry& entry : table) {
        const auto slot = static_cast<std::size_t>(entry.id);
        if (slot >= kTextCount || index[slot] != nullptr)
            throw "a text id appears twice in a language table"; // stops the build
        index[slot] = entry.text;
    }
    for (const char* text : index) {
        if (text == nullptr)
            throw "a language table misses a text id"; // stops the build
    }
    return index;
}

} // namespace texts::detail
