#include "station/BrandTable.h"

#include <gtest/gtest.h>

#include <array>

TEST(BrandTable, CodesAreComparedExactlyAfterUpperCasing)
{
    ASSERT_NE(station::findBrand(station::upperAscii("kestrel")), nullptr);
    EXPECT_EQ(station::findBrand("KESTREL2"), nullptr);
    EXPECT_EQ(station::findBrand(""), nullptr);
}

TEST(BrandTable, EveryLcdLineFillsTheDisplayWidth)
{
    for (const char* code : {"KESTREL", "KT", "STENVIK"})
        EXPECT_EQ(std::string(station::findBrand(code)->lcdLine).size(), 16U) << code;
}

TEST(BrandTable, DeviceTypesOfTheMultiBoardHead)
{
    EXPECT_TRUE(station::isMultiBoardType(station::upperAscii("trivellav2")));
    EXPECT_TRUE(station::isMultiBoardType("TRIVELLAV2.1"));
    EXPECT_FALSE(station::isMultiBoardType("TRIVELLAV2X"));
    EXPECT_FALSE(station::isMultiBoardType("TRIVELLAV"));
}

TEST(BrandTable, GuidIsShownGroupedInFours)
{
    std::array<unsigned char, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 17);
    EXPECT_EQ(station::formatGuid(bytes.data()), "GUID=00112233-44556677-8899AABB-CCDDEEFF");
}
