// The About dialog's texts: firmware type, versions, build date, the station's version record.
#include "FirmwareText.h"

#include "ReleaseHistory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

FirmwareInfo firmwareWithByte0(std::uint8_t byte0)
{
    FirmwareInfo info;
    info.bytes[0] = byte0;
    return info;
}

struct TypeCase {
    std::string name;
    std::uint8_t byte0;
    bool english;
    QString text;
};

class FirmwareTypeText : public ::testing::TestWithParam<TypeCase> {};

TEST_P(FirmwareTypeText, KindAndFixes)
{
    const TypeCase& c = GetParam();
    EXPECT_EQ(info::firmwareTypeText(firmwareWithByte0(c.byte0), c.english), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Byte0, FirmwareTypeText,
    ::testing::Values(TypeCase{"HardwareEnglish", 0x03, true, "HardWare Type,FW bug fixed 3 times"},
                      TypeCase{"SoftwareEnglish", 0x12, true, "Soft Type,FW bug fixed 2 times"},
                      TypeCase{"HardwareChinese", 0x03, false, "硬件模式,错误修复3次"},
                      TypeCase{"SoftwareChinese", 0x12, false, "软件模式,错误修复2次"},
                      TypeCase{"FifteenFixes", 0xFF, true, "Soft Type,FW bug fixed 15 times"}),
    [](const auto& param) { return param.param.name; });

TEST(FirmwareVersionText, FourHexDigitsFromTheTop)
{
    FirmwareInfo info;
    info.bytes[1] = 0x56;
    info.bytes[2] = 0x00;
    EXPECT_EQ(info::fourDigitVersion(info.version()), "0.0.5.6");
    EXPECT_EQ(info::fourDigitVersion(0xABCD), "a.b.c.d");
    EXPECT_EQ(info::fourDigitVersion(0x1000), "1.0.0.0");
}

struct DateCase {
    std::string name;
    int year;
    int month;
    int day;
    QString chinese;
    QString english;
};

class BuildDateText : public ::testing::TestWithParam<DateCase> {};

TEST_P(BuildDateText, BothLanguages)
{
    const DateCase& c = GetParam();
    EXPECT_EQ(info::buildDateText(c.year, c.month, c.day, false), c.chinese);
    EXPECT_EQ(info::buildDateText(c.year, c.month, c.day, true), c.english);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, BuildDateText,
    ::testing::Values(DateCase{"Day28", 2017, 11, 28, "2017年11月28日", "November 28(th),2017"},
                      DateCase{"Day1", 2016, 5, 1, "2016年05月01日", "May 01(st),2016"},
                      DateCase{"Day2", 2016, 1, 2, "2016年01月02日", "January 02(nd),2016"},
                      DateCase{"Day3", 2016, 12, 3, "2016年12月03日", "December 03(rd),2016"},
                      DateCase{"Day21IsTh", 2016, 2, 21, "2016年02月21日", "February 21(th),2016"},
                      DateCase{"MonthZeroShowsItsNumber", 2016, 0, 9, "2016年00月09日", "00 09(th),2016"},
                      DateCase{"MonthAboveTwelve", 2016, 13, 9, "2016年13月09日", "13 09(th),2016"},
                      DateCase{"MonthOfAByte", 2016, 255, 9, "2016年255月09日", "255 09(th),2016"}),
    [](const auto& param) { return param.param.name; });

TEST(BuildDateText, FromTheFirmwareRecord)
{
    FirmwareInfo info;
    info.bytes[3] = 0xE1; // 2017
    info.bytes[4] = 0x07;
    info.bytes[5] = 11;
    info.bytes[6] = 28;
    EXPECT_EQ(info::buildDateText(info, true), "November 28(th),2017");
}

TEST(StationVersion, HighWordsAndLowBytes)
{
    EXPECT_EQ(info::versionRecordText(0x00010002, 0x00030004), "1.2.3.4");
    // Only the low 8 bits of the low words count.
    EXPECT_EQ(info::versionRecordText(0x00010105, 0x00000203), "1.5.0.3");
    EXPECT_EQ(info::stationVersionText(), QStringLiteral(STATION_EXPECTED_VERSION));
}

// About shows the station's own version, and the release history ends at that version.
TEST(StationVersion, IsTheNewestEntryOfTheReleaseHistory)
{
    const auto& entries = releaseHistory();
    EXPECT_EQ(QStringLiteral("V") + info::stationVersionText(),
              QString::fromLatin1(entries.back().appVersion));
}

} // namespace
