// The INI wrapper keeps the Windows profile rules so files stay exchangeable.
#include "IniFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

class IniFileTest : public TempDirTest {};

TEST_F(IniFileTest, NamesMatchWithoutLetterCaseAndBlanksAroundValuesAreIgnored)
{
    IniFile ini;
    ini.loadText("[Global]\r\nKey =  value with inner blanks  \r\n[other]\r\nx=1\r\n");
    EXPECT_EQ(ini.value("GLOBAL", "KEY"), "value with inner blanks");
    EXPECT_EQ(ini.value("global", "key"), "value with inner blanks");
    EXPECT_EQ(ini.value("OTHER", "X"), "1");
    EXPECT_EQ(ini.value("OTHER", "MISSING"), "");
    EXPECT_FALSE(ini.contains("NOSECTION", "X"));
}

TEST_F(IniFileTest, FirstOfDuplicateKeysWins)
{
    IniFile ini;
    ini.loadText("[S]\nK=first\nK=second\n");
    EXPECT_EQ(ini.value("S", "K"), "first");
}

TEST_F(IniFileTest, NewFileKeepsTheOrderOfWritingWithCrLf)
{
    IniFile ini;
    ini.setValue("B", "Z", "1");
    ini.setValue("B", "A", "2");
    ini.setValue("A", "K", "3");
    ASSERT_TRUE(ini.save("new.ini"));
    EXPECT_EQ(readAll("new.ini"), "[B]\r\nZ=1\r\nA=2\r\n\r\n\r\n[A]\r\nK=3\r\n");
}

TEST_F(IniFileTest, SavingIntoAnExistingFileReplacesOnlyTheWrittenKeys)
{
    writeAll("old.ini",
             "; a comment\r\n[USER]\r\nnote=keep me\r\n[PARAMETER]\r\npercentage=5\r\nEXTRA=x\r\n");
    IniFile ini;
    ASSERT_EQ(ini.load("old.ini"), IniFile::LoadStatus::Loaded);
    ini.setValue("PARAMETER", "PERCENTAGE", "7");
    ini.setValue("PARAMETER", "NEW", "8");
    ASSERT_TRUE(ini.save("old.ini"));

    const std::string text = readAll("old.ini");
    EXPECT_NE(text.find("; a comment\r\n"), std::string::npos);
    EXPECT_NE(text.find("note=keep me\r\n"), std::string::npos);
    EXPECT_NE(text.find("EXTRA=x\r\n"), std::string::npos);
    EXPECT_NE(text.find("PERCENTAGE=7\r\nEXTRA=x\r\n"), std::string::npos) << "replaced in place";
    EXPECT_EQ(text.find("=5"), std::string::npos);
    EXPECT_LT(text.find("EXTRA=x"), text.find("NEW=8"));
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << "no bare LF line ends: " << text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
    }
}

TEST_F(IniFileTest, LongValuesAreReadWhole)
{
    const std::string longValue(5000, '7');
    writeAll("long.ini", "[S]\r\nK=" + longValue + "\r\n");
    IniFile ini;
    ASSERT_EQ(ini.load("long.ini"), IniFile::LoadStatus::Loaded);
    EXPECT_EQ(ini.value("S", "K"), longValue);
}

TEST_F(IniFileTest, MissingAndUnreadableFiles)
{
    IniFile ini;
    EXPECT_EQ(ini.load("nothing.ini"), IniFile::LoadStatus::Missing);
    EXPECT_EQ(ini.value("S", "K"), "");
    std::filesystem::create_directory("folder.ini");
    EXPECT_EQ(ini.load("folder.ini"), IniFile::LoadStatus::Unreadable);
    EXPECT_FALSE(ini.save("folder.ini"));
    EXPECT_FALSE(ini.save(dir / "no_such_folder" / "x.ini"));
}

// A value written in quotes by hand is read without them, as the Windows profile functions do:
// GUIROW="2" is 2, not 0.
struct QuotedCase {
    const char* name;
    std::string line;
    std::string value;
};

class IniQuotedValues : public testing::TestWithParam<QuotedCase> {};

TEST_P(IniQuotedValues, SurroundingQuotesAreDropped)
{
    IniFile ini;
    ini.loadText("[GLOBALPARAMETER]\r\n" + GetParam().line + "\r\n");
    EXPECT_EQ(ini.value("GLOBALPARAMETER", "KEY"), GetParam().value);
    EXPECT_TRUE(ini.contains("GLOBALPARAMETER", "KEY"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniQuotedValues,
    testing::Values(QuotedCase{"DoubleQuotes", "KEY=\"2\"", "2"}, QuotedCase{"SingleQuotes", "KEY='2'", "2"},
                    QuotedCase{"BlanksOutsideTheQuotes", "KEY =  \" a b \"  ", " a b "},
                    QuotedCase{"EmptyQuotes", "KEY=\"\"", ""},
                    QuotedCase{"OnlyAnOpeningQuote", "KEY=\"2", "\"2"},
                    QuotedCase{"MixedQuotes", "KEY=\"2'", "\"2'"}, QuotedCase{"LoneQuote", "KEY=\"", "\""},
                    QuotedCase{"QuotesInside", "KEY=a\"b\"c", "a\"b\"c"},
                    QuotedCase{"NoQuotes", "KEY=150,150,255", "150,150,255"}),
    [](const testing::TestParamInfo<QuotedCase>& param) { return std::string(param.param.name); });

} // namespace
