#include "BrandTable.h"

#include "StationTexts.h"
#include "texts/Texts.h"

#include <array>
#include <cstdio>

namespace station {
namespace {

// Brand codes of the fixtures this station is shipped with.
constexpr std::array kBrands{
    BrandRow{"KESTREL", "Kestrel 触摸屏测试系统", "Kestrel Touch Panel Tester", "KESTREL TESTWORK"},
    BrandRow{"KT", "KT 多通道触摸测试仪", "KT Multi-channel Touch Tester", "  KT  TESTWORK  "},
    BrandRow{"STENVIK", "Stenvik 电容屏测试站", "Stenvik Capacitive Test Station", "    STENVIK     "},
};

} // namespace

const BrandRow* findBrand(std::string_view code)
{
    for (const BrandRow& row : kBrands)
        if (code == row.code)
            return &row;
    return nullptr;
}

const char* productCaption(bool english)
{
    return texts::text(texts::TextId::ProductCaption, english);
}

std::string formatGuid(const unsigned char* sixteenBytes)
{
    const unsigned char* b = sixteenBytes;
    char text[64];
    std::snprintf(text, sizeof text,
                  "GUID=%02X%02X%02X%02X-%02X%02X%02X%02X-%02X%02X%02X%02X-%02X%02X%02X%02X", b[0], b[1],
                  b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

std::string upperAscii(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool isMultiBoardType(std::string_view upperCasedType)
{
    return upperCasedType == text::kTypeV2 || upperCasedType == text::kTypeV21;
}

} // namespace station
