#pragma once

#include <string>
#include <string_view>

// The device type text of the identity block, as the station compares it.
namespace devicetype {

// ASCII upper case; other bytes unchanged.
std::string upper(std::string_view text);

// Only these two types carry a board table and board regions in use; the text must match
// exactly after upper-casing (a longer text that merely begins with one does not).
bool isMultiBoard(std::string_view upperCased);

} // namespace devicetype
