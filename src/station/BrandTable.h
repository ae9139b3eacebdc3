#pragma once

#include <string>
#include <string_view>

// What the station shows for a head's brand code: the caption of the right status pane in both
// languages and the second LCD line at connection. Heads whose code is not in the table show
// the product caption and the boot line.
namespace station {

struct BrandRow {
    const char* code;    // upper case, as compared
    const char* chinese; // UTF-8
    const char* english;
    const char* lcdLine; // 16 characters
};

// The row of the (already upper-cased) brand code; null when none matches exactly.
const BrandRow* findBrand(std::string_view code);

// Caption of a head without a brand row.
const char* productCaption(bool english);

// The GUID of the identity block as shown in the middle status pane.
std::string formatGuid(const unsigned char* sixteenBytes);

// ASCII upper case (the head's texts are ASCII).
std::string upperAscii(std::string_view text);

// The device types the station drives as a multi-board head.
bool isMultiBoardType(std::string_view upperCasedType);

} // namespace station
