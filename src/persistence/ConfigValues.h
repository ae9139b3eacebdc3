#pragma once

#include "ColorScheme.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reading and writing the values of the configuration file. Everything works in the C locale
// whatever the user's locale, and on texts of any length.
namespace configvalue {

// A decimal integer read like the C library's atoi: leading blanks, an optional sign, digits up
// to the first other character; an empty or non-numeric text gives 0.
struct Integer {
    std::int64_t value = 0; // saturated at the int64 limits: for range checks
    std::uint64_t bits = 0; // two's complement modulo 2^64: its low bits are the cut value
};
Integer parseInteger(std::string_view text);

std::uint8_t toU8(std::string_view text);   // cut to the low 8 bits
std::uint16_t toU16(std::string_view text); // cut to the low 16 bits
bool toFlag(std::string_view text);         // lowest bit

// A comma-separated list: split at every ",", each piece read as an integer. An empty text has
// no values; a text without a comma has one value when it holds a number, else none.
std::vector<Integer> parseList(std::string_view text);

// Exactly three values, each cut to 8 bits; the fourth colour byte 0. nullopt otherwise.
std::optional<Rgbx> parseColor(std::string_view text);
// Exactly eight values, each cut to 8 bits. nullopt otherwise.
std::optional<std::array<std::uint8_t, 8>> parseAddressList(std::string_view text);

// A decimal floating number like atof; empty, non-numeric or not finite gives 0.
double parseReal(std::string_view text);

std::string formatInteger(long long value);                                // "%d"
std::string formatColor(const Rgbx& color);                                // "%03d,%03d,%03d"
std::string formatAddressList(std::span<const std::uint8_t, 8> addresses); // "%d,...,%d"
std::string formatList(std::span<const std::uint16_t> values);             // "%d" joined with ","
std::string formatReal(double value);                                      // "%g"; not finite gives "0"

} // namespace configvalue
