#pragma once

#include <QString>

#include <cstdint>
#include <type_traits>

// Numbers typed into the dialogs are read the way operators are used to: leading blanks, an
// optional sign, then digits up to the first other character ("12abc" is 12; empty or no digits
// is 0). The value is then cut to the width of the field it goes into (300 in a byte is 44,
// -1 in a 16-bit field is 65535). Dialogs do not refuse such input unless they say otherwise.
namespace uikit {

// The leading integer of text, wrapping on overflow like the fixed-width arithmetic it feeds.
inline std::int64_t leadingInteger(const QString& text)
{
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::uint64_t value = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10U + static_cast<std::uint64_t>(text[i].unicode() - u'0');
    return static_cast<std::int64_t>(negative ? ~value + 1U : value);
}

// The leading integer cut to the width of T (an unsigned or signed integer type).
template <typename T> T dialogNumber(const QString& text)
{
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<T>;
    return static_cast<T>(static_cast<U>(static_cast<std::uint64_t>(leadingInteger(text))));
}

} // namespace uikit
