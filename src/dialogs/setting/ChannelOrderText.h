#pragma once

#include "setup/Channels.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The custom channel order as the operator edits it: one line of two-digit entries joined by
// commas ("03,02,01,00"), read back in fixed three-character fields.
namespace setting {

// Entries 0..n-1 of the order, each "%02d", joined by "," (no comma after the last).
std::string formatOrderText(const ChannelBytes& order, int n);

// The entries the text yields, in order, before any range check. The text is cut to its first
// 254 bytes, its first comma becomes a blank, and it is read in three-character fields (a last
// field of two characters is kept, one of a single character dropped). A field holding a number
// adds its low 8 bits, a field of blanks adds 0, any other field adds nothing.
std::vector<std::uint8_t> orderEntries(std::string_view text);

struct ParsedOrder {
    ChannelBytes order{};       // entries 0..n-1 from the text, n..63 zero
    int badEntries = 0;         // entries 0..n-1 not below n (a negative number arrives as a large byte)
    bool tooFewEntries = false; // the text gave fewer than n entries
    bool valid() const { return badEntries == 0 && !tooFewEntries; }
};

// Reads the text for a board of n channels (0..64).
ParsedOrder parseOrderText(std::string_view text, int n);

} // namespace setting
