// Save and Load of the configuration file against a head that keeps its storage.
#include "ConfigurationFile.h"

#include "IniFile.h"
#include "RoundTripSetup.h"
#include "TempDir.h"
#include "setup/MemoryHead.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using Frames = std::vector<std::string>;

// A setup file as an older station wrote it: a 1 x 2 grid of 4-channel boards on a "TRIVELLAV2".
const std::string kExampleSetup = "[GLOBALPARAMETER]\r\n"
                                  "DEVICETYPE=TRIVELLAV2\r\n"
                                  "GUIROW=1\r\n"
                                  "GUICOL=2\r\n"
                                  "GUIOVERD=1\r\n"
                                  "BUZZERENABLE=1\r\n"
                                  "BUZZERINVERT=0\r\n"
                                  "LEDENABLE=1\r\n"
                                  "LEDINVERT=0\r\n"
                                  "[PARAMETER]\r\n"
                                  "ALLOWEDTHRES_HIGH=100\r\n"
                                  "ALLOWEDTHRES_LOW=100\r\n"
                                  "VIEWDATARANGE_MAX=8000\r\n"
                                  "VIEWDATARANGE_MIN=0\r\n"
                                  "PERCENTAGE=10\r\n"
                                  "TYPE=0\r\n"
                                  "[BARCOLOR]\r\n"
                                  "ENABLEBAR=1\r\n"
                                  "BAR=150,150,255\r\n"
                                  "HIGH=200,100,100\r\n"
                                  "LOW=200,200,100\r\n"
                                  "ENABLEOVER=1\r\n"
                                  "OVER=100,255,100\r\n"
                                  "ENABLEMASK=0\r\n"
                                  "MASK=100,100,100\r\n"
                                  "[EXPANDBOARD]\r\n"
                                  "EXPANDBOARDNUM=1\r\n"
                                  "EXPANDBOARDADDRESS=32,33,34,35,36,37,38,39\r\n"
                                  "EXPANDBOARDCOL=2\r\n"
                                  "EXPANDBOARDROW=1\r\n"
                                  "[EXPANDBOARD_00_PARA]\r\n"
                                  "COL=0\r\n"
                                  "ROW=0\r\n"
                                  "ADDRESS=0\r\n"
                                  "CHANNEL=0\r\n"
                                  "CHANNELNUMBER=4\r\n"
                                  "REFERENCE=1000,1010,990,1005\r\n"
                                  "THRESHOLD_HIGH=1100,1111,1089,1105\r\n"
                                  "THRESHOLD_LOW=900,909,891,905\r\n"
                                  "MASK=0,0,4,8\r\n"
                                  "ORDERENABLE=0\r\n"
                                  "PEARSONTHRES=0.95\r\n"
                                  "PEARSONEN=1\r\n"
                                  "USERGAIN=7\r\n"
                                  "CURRENT=0\r\n"
                                  "DISCHARGETIME=0\r\n"
                                  "DELAYTIME=0\r\n"
                                  "VIEWDATARANGE_MAX=2000\r\n"
                                  "VIEWDATARANGE_MIN=0\r\n"
                                  "ALLOWEDTHRES_HIGH=100\r\n"
                                  "ALLOWEDTHRES_LOW=100\r\n"
                                  "PERCENTAGE=10\r\n"
                                  "TYPE=1\r\n"
                                  "[EXPANDBOARD_01_PARA]\r\n"
                                  "COL=1\r\n"
                                  "ROW=0\r\n"
                                  "ADDRESS=0\r\n"
                                  "CHANNEL=1\r\n"
                                  "CHANNELNUMBER=4\r\n"
                                  "REFERENCE=2000,2100,2050,1990\r\n"
                                  "THRESHOLD_HIGH=2150,2250,2200,2140\r\n"
                                  "THRESHOLD_LOW=1880,1980,1930,1870\r\n"
                                  "MASK=0,1,2,0\r\n"
                                  "CHANNELORDER=3,2,1,0\r\n"
                                  "ORDERENABLE=1\r\n"
                                  "PEARSONTHRES=0.123457\r\n"
                                  "PEARSONEN=0\r\n"
                                  "USERGAIN=5\r\n"
                                  "CURRENT=2\r\n"
                                  "DISCHARGETIME=1\r\n"
                                  "DELAYTIME=3\r\n"
                                  "VIEWDATARANGE_MAX=4000\r\n"
                                  "VIEWDATARANGE_MIN=500\r\n"
                                  "ALLOWEDTHRES_HIGH=150\r\n"
                                  "ALLOWEDTHRES_LOW=120\r\n"
                                  "PERCENTAGE=0\r\n"
                                  "TYPE=0\r\n";

// The memory-backed head's storage for the shared round-trip scenario.
class MemoryStorage : public HeadStorage {
public:
    explicit MemoryStorage(MemoryHead& head) : head_(head) {}
    Payload block(std::uint8_t n) override { return head_.blocks[n]; }
    void setBlock(std::uint8_t n, const Payload& data) override { head_.blocks[n] = data; }
    std::vector<std::uint8_t> memory(int address, int length) override
    {
        return {head_.memory.begin() + address, head_.memory.begin() + address + length};
    }
    void setMemory(int address, const std::vector<std::uint8_t>& data) override
    {
        std::copy(data.begin(), data.end(), head_.memory.begin() + address);
    }

private:
    MemoryHead& head_;
};

class ConfigurationFileTest : public TempDirTest, protected HeadFixture {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        head.setDeviceType("TRIVELLAV2");
    }

    // A multi-board head holding a whole setup of rows x cols boards, read into the images as
    // at connection.
    void prepareHead(int rows, int cols, const std::vector<BoardPlan>& boards, unsigned seed = 7)
    {
        writeSetup(storage_, rows, cols, boards, seed);
        ASSERT_TRUE(ops.readGlobalSettings());
        ASSERT_TRUE(ops.readBoardTable());
        setup.grid().set(rows, cols);
        head.takeLog();
    }

    MemoryStorage storage_{head};

    UserMessage saveTo(const std::string& name) { return configfile::save(ops, dir / name); }
    configfile::LoadResult loadFrom(const std::string& name) { return configfile::load(ops, dir / name); }

    void editFile(const std::string& name, const std::string& section, const std::string& key,
                  const std::string& value)
    {
        IniFile ini;
        ASSERT_EQ(ini.load(dir / name), IniFile::LoadStatus::Loaded);
        ini.setValue(section, key, value);
        ASSERT_TRUE(ini.save(dir / name));
    }

    std::string valueIn(const std::string& name, const std::string& section, const std::string& key)
    {
        IniFile ini;
        ini.load(dir / name);
        return ini.value(section, key);
    }

    GlobalSettings headGlobal() const
    {
        return GlobalSettings::decode(
            std::span<const std::uint8_t, 64>(head.blocks[storage::SETTINGS_BLOCK]));
    }
    BoardRecord headRecord(int k) const
    {
        return BoardRecord::decode(
            std::span<const std::uint8_t, 26>(head.memory.data() + storage::boardRecordAddress(k), 26));
    }
};

// A user saves a full 4 x 4 setup, the boards get scrambled, and loading the file brings every
// carried byte back.
TEST_F(ConfigurationFileTest, FullSetupRoundTripsByteForByte)
{
    const std::vector<BoardPlan> plan = fullGridPlan();
    prepareHead(4, 4, plan);
    const StoredSetup original = StoredSetup::read(storage_, 16);

    const UserMessage saved = saveTo("setup.ini");
    EXPECT_EQ(saved, (UserMessage{"文件保存成功！", "参数保存", UserMessage::Icon::Information}));

    scrambleSetup(storage_, 16, 99);
    const StoredSetup scrambled = StoredSetup::read(storage_, 16);
    setup.grid().set(1, 1);

    const configfile::LoadResult loaded = loadFrom("setup.ini");
    EXPECT_EQ(loaded.message, (UserMessage{"文件载入成功！", "参数载入", UserMessage::Icon::Information}));
    EXPECT_TRUE(loaded.restarted);
    EXPECT_EQ(head.restarts, 1);
    EXPECT_EQ(setup.grid().get(), std::make_pair(4, 4));

    const StoredSetup expected = expectedAfterLoad(original, scrambled, plan);
    const StoredSetup after = StoredSetup::read(storage_, 16);
    EXPECT_EQ(after.block, expected.block);
    EXPECT_EQ(after.table, expected.table);
    for (std::size_t k = 0; k < plan.size(); ++k)
        EXPECT_EQ(after.regions[k], expected.regions[k])
            << "board " << k << " with " << plan[k].channels << " channels";
}

TEST_F(ConfigurationFileTest, NewFileHoldsTheGlobalSectionsInTheirOrderForASingleBoardHead)
{
    prepareHead(2, 3, {});
    head.setDeviceType("OtherType");
    GlobalSettings g = setup.global();
    g.outputFlags = GlobalSettings::BuzzerEnable | GlobalSettings::LedInvert | 0x30;
    g.excessIndication = 1;
    g.allowedHigh = 300;
    g.allowedLow = 200;
    g.viewRangeMax = 65535;
    g.viewRangeMin = 0;
    g.percentage = 15;
    g.judgeType = 2;
    g.colors.passColor = Rgbx::fromRgb(150, 150, 255);
    g.colors.highColor = Rgbx::fromRgb(200, 100, 100);
    g.colors.lowColor = Rgbx::fromRgb(200, 200, 100);
    g.colors.excessColor = Rgbx::fromRgb(100, 255, 100);
    g.colors.maskColor = Rgbx::fromRgb(1, 2, 3);
    g.colors.colorFlags = ColorScheme::CustomColors | ColorScheme::CustomMaskColor;
    g.expandBoardCount = 2;
    g.expandBoardAddress = {16, 17, 18, 19, 20, 21, 22, 255};
    g.gridCols = 3;
    g.gridRows = 2;
    setup.setGlobal(g);

    EXPECT_EQ(saveTo("new.ini").text, "文件保存成功！");
    EXPECT_EQ(readAll(dir / "new.ini"),
              "[GLOBALPARAMETER]\r\nDEVICETYPE=OTHERTYPE\r\nGUIROW=2\r\nGUICOL=3\r\n"
              "GUIOVERD=1\r\nBUZZERENABLE=1\r\nBUZZERINVERT=0\r\nLEDENABLE=0\r\n"
              "LEDINVERT=1\r\n\r\n\r\n"
              "[PARAMETER]\r\nALLOWEDTHRES_HIGH=300\r\nALLOWEDTHRES_LOW=200\r\n"
              "VIEWDATARANGE_MAX=65535\r\nVIEWDATARANGE_MIN=0\r\nPERCENTAGE=15\r\n"
              "TYPE=2\r\n\r\n\r\n"
              "[BARCOLOR]\r\nENABLEBAR=1\r\nBAR=150,150,255\r\nHIGH=200,100,100\r\n"
              "LOW=200,200,100\r\nENABLEOVER=0\r\nOVER=100,255,100\r\nENABLEMASK=1\r\n"
              "MASK=001,002,003\r\n\r\n\r\n"
              "[EXPANDBOARD]\r\nEXPANDBOARDNUM=2\r\n"
              "EXPANDBOARDADDRESS=16,17,18,19,20,21,22,255\r\nEXPANDBOARDCOL=3\r\n"
              "EXPANDBOARDROW=2\r\n");
    EXPECT_EQ(head.frames(), Frames{"id"}) << "the global values come from the images";
}

TEST_F(ConfigurationFileTest, BoardSectionKeysInTheirOrder)
{
    prepareHead(1, 1, {{3, true, true}});
    saveTo("one.ini");
    const std::string text = readAll(dir / "one.ini");
    const auto at = text.find("[EXPANDBOARD_00_PARA]");
    ASSERT_NE(at, std::string::npos);
    std::vector<std::string> keys;
    std::size_t pos = text.find("\r\n", at) + 2;
    while (pos < text.size() && text[pos] != '\r') {
        keys.push_back(text.substr(pos, text.find('=', pos) - pos));
        pos = text.find("\r\n", pos) + 2;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"COL",
                                              "ROW",
                                              "ADDRESS",
                                              "CHANNEL",
                                              "CHANNELNUMBER",
                                              "REFERENCE",
                                              "THRESHOLD_HIGH",
                                              "THRESHOLD_LOW",
                                              "MASK",
                                              "CHANNELORDER",
                                              "ORDERENABLE",
                                              "PEARSONTHRES",
                                              "PEARSONEN",
                                              "USERGAIN",
                                              "CURRENT",
                                              "DISCHARGETIME",
                                              "DELAYTIME",
                                              "VIEWDATARANGE_MAX",
                                              "VIEWDATARANGE_MIN",
                                              "ALLOWEDTHRES_HIGH",
                                              "ALLOWEDTHRES_LOW",
                                              "PERCENTAGE",
                                              "TYPE"}));
    EXPECT_EQ(valueIn("one.ini", "EXPANDBOARD_00_PARA", "CHANNELORDER"), "2,1,0");
}

TEST_F(ConfigurationFileTest, SaveReadsEachBoardInTheFixedOrder)
{
    prepareHead(1, 2, {{8, false, false}, {8, true, false}});
    saveTo("order.ini");
    const auto rec = [](int k) { return "r" + std::to_string(storage::boardRecordAddress(k)) + "/26"; };
    const auto arr = [](int k, int offset) {
        return "r" + std::to_string(storage::boardRegionAddress(k) + offset) + "/64";
    };
    EXPECT_EQ(head.frames(), (Frames{"id",    "pause",     rec(0),      "pause", arr(0, 0),   arr(0, 64),
                                     "pause", arr(0, 128), arr(0, 192), "pause", arr(0, 256), arr(0, 320),
                                     "pause", arr(0, 384), "pause",     rec(0),  "pause",     rec(1),
                                     "pause", arr(1, 0),   arr(1, 64),  "pause", arr(1, 128), arr(1, 192),
                                     "pause", arr(1, 256), arr(1, 320), "pause", arr(1, 384), "pause",
                                     rec(1),  "pause",     arr(1, 448)}));
}

TEST_F(ConfigurationFileTest, PearsonThresholdIsSavedWithSixSignificantDigits)
{
    prepareHead(1, 1, {{4, false, true}});
    ops.changeBoardRecord(0, [](BoardRecord& r) { r.pearsonThreshold = 0.123456789; });
    saveTo("p.ini");
    EXPECT_EQ(valueIn("p.ini", "EXPANDBOARD_00_PARA", "PEARSONTHRES"), "0.123457");
    loadFrom("p.ini");
    EXPECT_EQ(headRecord(0).pearsonThreshold, 0.123457);
}

TEST_F(ConfigurationFileTest, BoardsOfZeroAndOneChannelRoundTrip)
{
    prepareHead(1, 2, {{0, false, false}, {1, true, false}});
    saveTo("small.ini");
    EXPECT_EQ(valueIn("small.ini", "EXPANDBOARD_00_PARA", "REFERENCE"), "");
    EXPECT_EQ(valueIn("small.ini", "EXPANDBOARD_01_PARA", "CHANNELORDER"), "0");
    const auto oneChannelRef = head.memory[storage::referenceAddress(1)];
    for (int k = 0; k < 2; ++k)
        std::fill_n(head.memory.begin() + storage::boardRegionAddress(k), 512, 0x55);
    loadFrom("small.ini");
    for (int i = 0; i < 448; ++i)
        ASSERT_EQ(head.memory[storage::boardRegionAddress(0) + static_cast<std::size_t>(i)], 0) << i;
    EXPECT_EQ(head.memory[storage::referenceAddress(1)], oneChannelRef)
        << "one value without a comma is read";
    EXPECT_EQ(head.memory[storage::referenceAddress(1) + 2], 0);
    EXPECT_EQ(head.memory[storage::orderAddress(1)], 0);
    EXPECT_TRUE(headRecord(1).orderEnable());
}

struct RefusalCase {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
    std::string message;
};

class LoadRefusal : public ConfigurationFileTest, public testing::WithParamInterface<RefusalCase> {};

// A refused file changes nothing on the head and sends no restart.
TEST_P(LoadRefusal, ChangesNothing)
{
    prepareHead(1, 1, {{4, true, true}});
    saveTo("f.ini");
    const RefusalCase& c = GetParam();
    editFile("f.ini", c.section, c.key, c.value);
    const auto blockBefore = head.blocks;
    const auto memoryBefore = head.memory;
    head.takeLog();

    const configfile::LoadResult result = loadFrom("f.ini");
    EXPECT_EQ(result.message.text, c.message);
    EXPECT_FALSE(result.headChanged);
    EXPECT_FALSE(result.restarted);
    EXPECT_EQ(head.frames(), Frames{"id"});
    EXPECT_TRUE(head.blocks == blockBefore);
    EXPECT_TRUE(head.memory == memoryBefore);
    EXPECT_EQ(setup.grid().get(), std::make_pair(1, 1));
}

const std::string kMismatch = "设备类型与配置参数不符!";
const std::string kGrid = "配置文件中的行数或列数超出范围(0-4)，参数未载入！";

INSTANTIATE_TEST_SUITE_P(
    Files, LoadRefusal,
    testing::Values(
        RefusalCase{"LowerCaseDeviceType", "GLOBALPARAMETER", "DEVICETYPE", "trivellav2", kMismatch},
        RefusalCase{"OtherDeviceType", "GLOBALPARAMETER", "DEVICETYPE", "TRIVELLAV2.1", kMismatch},
        RefusalCase{"GuiRowsFive", "GLOBALPARAMETER", "GUIROW", "5", kGrid},
        RefusalCase{"GuiColsNegative", "GLOBALPARAMETER", "GUICOL", "-1", kGrid},
        RefusalCase{"BoardRowsNine", "EXPANDBOARD", "EXPANDBOARDROW", "9", kGrid},
        RefusalCase{"BoardColsCutTo4ButOutOfRange", "EXPANDBOARD", "EXPANDBOARDCOL", "260", kGrid},
        RefusalCase{"BoardColsHuge", "EXPANDBOARD", "EXPANDBOARDCOL", "99999999999999999999", kGrid}),
    [](const testing::TestParamInfo<RefusalCase>& param) { return std::string(param.param.name); });

TEST_F(ConfigurationFileTest, FileThatDoesNotExistGivesTheMismatchMessage)
{
    prepareHead(1, 1, {{4, true, true}});
    const auto result = loadFrom("nothing_here.ini");
    EXPECT_EQ(result.message, (UserMessage{kMismatch, std::nullopt, UserMessage::Icon::None}));
    EXPECT_FALSE(result.restarted);
}

TEST_F(ConfigurationFileTest, ColourListsTakenOnlyWithThreeValues)
{
    prepareHead(1, 1, {{4, true, true}});
    saveTo("c.ini");
    const Rgbx passBefore = headGlobal().colors.passColor;
    editFile("c.ini", "BARCOLOR", "BAR", "255,0,0,7");
    editFile("c.ini", "BARCOLOR", "HIGH", "300,0,0");
    editFile("c.ini", "EXPANDBOARD", "EXPANDBOARDADDRESS", "1,2,3");
    const auto addressesBefore = headGlobal().expandBoardAddress;
    loadFrom("c.ini");
    EXPECT_EQ(headGlobal().colors.passColor, passBefore);
    EXPECT_EQ(headGlobal().colors.highColor, (Rgbx{44, 0, 0, 0}));
    EXPECT_EQ(headGlobal().expandBoardAddress, addressesBefore);
}

TEST_F(ConfigurationFileTest, ShortChannelOrderKeepsTheBoardsOrderAndItsFlag)
{
    prepareHead(1, 1, {{4, true, true}});
    saveTo("o.ini");
    editFile("o.ini", "EXPANDBOARD_00_PARA", "CHANNELORDER", "0,1,2");
    editFile("o.ini", "EXPANDBOARD_00_PARA", "ORDERENABLE", "1");
    const auto orderBefore = std::vector<std::uint8_t>(head.memory.begin() + storage::orderAddress(0),
                                                       head.memory.begin() + storage::orderAddress(0) + 64);
    head.takeLog();
    loadFrom("o.ini");
    EXPECT_EQ(std::vector<std::uint8_t>(head.memory.begin() + storage::orderAddress(0),
                                        head.memory.begin() + storage::orderAddress(0) + 64),
              orderBefore);
    EXPECT_TRUE(headRecord(0).orderEnable());
    for (const std::string& f : head.frames())
        EXPECT_NE(f, "w" + std::to_string(storage::orderAddress(0)) + "/64");
}

// A file that lacks the section of a board in use is refused as a whole: the board is not
// cleared and nothing else is written either.
TEST_F(ConfigurationFileTest, MissingBoardSectionIsRefusedAndNamed)
{
    prepareHead(1, 1, {{4, true, true}, {6, true, true}});
    saveTo("m.ini"); // one board only
    editFile("m.ini", "GLOBALPARAMETER", "GUICOL", "2");
    editFile("m.ini", "EXPANDBOARD", "EXPANDBOARDCOL", "2");
    const auto blocksBefore = head.blocks;
    const auto memoryBefore = head.memory;
    head.takeLog();
    const configfile::LoadResult result = loadFrom("m.ini");
    EXPECT_EQ(result.message, (UserMessage{"配置文件不完整，参数未载入！\n[EXPANDBOARD_01_PARA]", "参数载入",
                                           UserMessage::Icon::Warning}));
    EXPECT_FALSE(result.headChanged);
    EXPECT_FALSE(result.restarted);
    EXPECT_EQ(head.frames(), Frames{"id"});
    EXPECT_TRUE(head.blocks == blocksBefore);
    EXPECT_TRUE(head.memory == memoryBefore);
}

// Files cut short or hand-edited into something incomplete: refused before anything is written,
// with the first missing section or key named.
struct IncompleteCase {
    const char* name;
    std::function<std::string(const std::string&)> damage; // the saved file's text -> the loaded one
    std::string missing;
};

std::string cutBefore(const std::string& text, const std::string& marker)
{
    const auto at = text.find(marker);
    return at == std::string::npos ? text : text.substr(0, at);
}

std::string withoutLine(const std::string& text, const std::string& lineStart, int occurrence = 1)
{
    std::size_t at = 0;
    for (int i = 0; i < occurrence; ++i) {
        at = text.find("\r\n" + lineStart, i == 0 ? 0 : at + 1);
        if (at == std::string::npos)
            return text;
    }
    const auto end = text.find("\r\n", at + 2);
    return text.substr(0, at) + text.substr(end);
}

class IncompleteFile : public ConfigurationFileTest, public testing::WithParamInterface<IncompleteCase> {};

TEST_P(IncompleteFile, IsRefusedBeforeAnythingIsWritten)
{
    prepareHead(1, 2, {{4, true, true}, {6, true, true}});
    saveTo("full.ini");
    writeAll(dir / "cut.ini", GetParam().damage(readAll(dir / "full.ini")));
    const auto blocksBefore = head.blocks;
    const auto memoryBefore = head.memory;
    head.takeLog();

    const configfile::LoadResult result = loadFrom("cut.ini");
    EXPECT_EQ(result.message.text, "配置文件不完整，参数未载入！\n" + GetParam().missing);
    EXPECT_EQ(result.message.caption, "参数载入");
    EXPECT_FALSE(result.headChanged);
    EXPECT_FALSE(result.restarted);
    EXPECT_EQ(head.frames(), Frames{"id"});
    EXPECT_TRUE(head.blocks == blocksBefore);
    EXPECT_TRUE(head.memory == memoryBefore);
    EXPECT_EQ(setup.grid().get(), std::make_pair(1, 2));
}

INSTANTIATE_TEST_SUITE_P(
    Files, IncompleteFile,
    testing::Values(
        IncompleteCase{"CutBeforeBarColor", [](const std::string& t) { return cutBefore(t, "[BARCOLOR]"); },
                       "[BARCOLOR]"},
        IncompleteCase{"CutInsideTheSecondBoardsReference",
                       [](const std::string& t) {
                           const auto board = t.find("[EXPANDBOARD_01_PARA]");
                           const auto at = t.find("REFERENCE=", board);
                           return t.substr(0, t.find(',', at) + 1);
                       },
                       "[EXPANDBOARD_01_PARA] REFERENCE (2/6)"},
        IncompleteCase{"CutAfterTheFirstBoard",
                       [](const std::string& t) { return cutBefore(t, "[EXPANDBOARD_01_PARA]"); },
                       "[EXPANDBOARD_01_PARA]"},
        IncompleteCase{"GlobalKeyMissing", [](const std::string& t) { return withoutLine(t, "LEDINVERT="); },
                       "[GLOBALPARAMETER] LEDINVERT"},
        IncompleteCase{"ColourMissing", [](const std::string& t) { return withoutLine(t, "OVER="); },
                       "[BARCOLOR] OVER"},
        IncompleteCase{"BoardRecordKeyMissing",
                       [](const std::string& t) { return withoutLine(t, "DELAYTIME=", 2); },
                       "[EXPANDBOARD_01_PARA] DELAYTIME"},
        IncompleteCase{"ChannelOrderMissingWhileEnabled",
                       [](const std::string& t) { return withoutLine(t, "CHANNELORDER="); },
                       "[EXPANDBOARD_00_PARA] CHANNELORDER"},
        IncompleteCase{"MaskOneValueShort",
                       [](const std::string& t) {
                           const auto at = t.find("MASK=", t.find("[EXPANDBOARD_00_PARA]"));
                           const auto end = t.find("\r\n", at);
                           const auto lastComma = t.rfind(',', end);
                           return t.substr(0, lastComma) + t.substr(end);
                       },
                       "[EXPANDBOARD_00_PARA] MASK (3/4)"}),
    [](const testing::TestParamInfo<IncompleteCase>& param) { return std::string(param.param.name); });

// A file that is no setup file at all says so instead of blaming the device type.
struct ForeignCase {
    const char* name;
    std::string content;
};

class ForeignFile : public ConfigurationFileTest, public testing::WithParamInterface<ForeignCase> {};

TEST_P(ForeignFile, IsNamedAsNotASetupFile)
{
    prepareHead(1, 1, {{4, true, true}});
    writeAll(dir / "other.ini", GetParam().content);
    head.takeLog();
    const configfile::LoadResult result = loadFrom("other.ini");
    EXPECT_EQ(result.message,
              (UserMessage{"所选文件不是配置文件，参数未载入！", "参数载入", UserMessage::Icon::Warning}));
    EXPECT_FALSE(result.headChanged);
    EXPECT_TRUE(head.frames().empty()) << "the head is not even asked";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ForeignFile,
    testing::Values(ForeignCase{"Empty", ""},
                    ForeignCase{"Binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18)},
                    ForeignCase{"AnotherProgramsIni", "[Desktop Entry]\nName=Editor\nExec=editor %f\n"}),
    [](const testing::TestParamInfo<ForeignCase>& param) { return std::string(param.param.name); });

TEST_F(ConfigurationFileTest, IncompleteAndForeignMessagesFollowTheInterfaceLanguage)
{
    prepareHead(1, 1, {{4, true, true}});
    ops.changeGlobalSettings([](GlobalSettings& g) { g.outputFlags |= GlobalSettings::EnglishUi; });
    saveTo("e.ini");
    writeAll(dir / "cut.ini", cutBefore(readAll(dir / "e.ini"), "[EXPANDBOARD]"));
    EXPECT_EQ(loadFrom("cut.ini").message.text,
              "The setup file is incomplete; nothing was loaded\n[EXPANDBOARD]");
    writeAll(dir / "empty.ini", "");
    EXPECT_EQ(loadFrom("empty.ini").message.text, "The chosen file is not a setup file; nothing was loaded");
}

// A file written by an older station with every key present (CR LF, sections in the order of
// a new file, no trailing blank lines) loads as before.
TEST_F(ConfigurationFileTest, CompleteFileOfAnOlderStationLoads)
{
    prepareHead(1, 2, {{8, false, false}, {8, false, false}});
    writeAll(dir / "example-setup.ini", kExampleSetup);
    const configfile::LoadResult result = loadFrom("example-setup.ini");
    EXPECT_EQ(result.message.text, "文件载入成功！");
    EXPECT_TRUE(result.restarted);
    EXPECT_EQ(head.memory[storage::referenceAddress(1)], 2000 & 0xFF);
    EXPECT_EQ(head.memory[storage::orderAddress(1)], 3);
    EXPECT_TRUE(headRecord(1).orderEnable());
    EXPECT_EQ(headRecord(0).userGain, 7);
    EXPECT_EQ(headGlobal().viewRangeMax, 8000);
}

TEST_F(ConfigurationFileTest, SavingTwiceAfterDisablingTheOrderLeavesTheOldKeyWhichLoadIgnores)
{
    prepareHead(1, 1, {{4, true, true}});
    saveTo("t.ini");
    ops.writeBoardOrder(0, false, identityOrder());
    saveTo("t.ini");
    EXPECT_EQ(valueIn("t.ini", "EXPANDBOARD_00_PARA", "CHANNELORDER"), "3,2,1,0");
    EXPECT_EQ(valueIn("t.ini", "EXPANDBOARD_00_PARA", "ORDERENABLE"), "0");
    loadFrom("t.ini");
    EXPECT_FALSE(headRecord(0).orderEnable());
    EXPECT_EQ(head.memory[storage::orderAddress(0)], 0);
    EXPECT_EQ(head.memory[storage::orderAddress(0) + 3], 3);
}

TEST_F(ConfigurationFileTest, SaveThatCannotWriteItsFileSaysSoAndNamesTheFile)
{
    prepareHead(1, 1, {{4, true, true}});
    const auto path = dir / "missing_folder" / "x.ini";
    const UserMessage m = configfile::save(ops, path);
    EXPECT_EQ(m.text, "文件保存失败！\n" + path.string());
    EXPECT_EQ(m.icon, UserMessage::Icon::Warning);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ConfigurationFileTest, LockBitsRefuseSaveAndLoad)
{
    GlobalSettings g;
    EXPECT_EQ(configfile::saveRefusal(g), std::nullopt);
    EXPECT_EQ(configfile::loadRefusal(g), std::nullopt);
    g.lockFlags = GlobalSettings::LockSave | GlobalSettings::LockLoad;
    EXPECT_EQ(configfile::saveRefusal(g),
              (UserMessage{"保存菜单被禁止！", std::nullopt, UserMessage::Icon::None}));
    EXPECT_EQ(configfile::loadRefusal(g),
              (UserMessage{"载入菜单被禁止！", std::nullopt, UserMessage::Icon::None}));
}

TEST_F(ConfigurationFileTest, SuccessMessageIsHandedOverBeforeTheRestart)
{
    prepareHead(1, 1, {{4, true, true}});
    saveTo("r.ini");
    int restartsSeen = -1;
    const auto result = configfile::load(ops, dir / "r.ini", [&](const UserMessage& m) {
        EXPECT_EQ(m.text, "文件载入成功！");
        restartsSeen = head.restarts;
    });
    EXPECT_EQ(restartsSeen, 0);
    EXPECT_EQ(head.restarts, 1);
    EXPECT_TRUE(result.restarted);
}

TEST_F(ConfigurationFileTest, LoadIntoASingleBoardHeadWritesOnlyTheGlobalSettings)
{
    prepareHead(1, 1, {{4, true, true}});
    head.setDeviceType("OTHER");
    saveTo("s.ini");
    head.takeLog();
    const auto result = loadFrom("s.ini");
    EXPECT_EQ(result.message.text, "文件载入成功！");
    EXPECT_EQ(head.frames(), (Frames{"id", "R249", "R249", "W249", "R249", "R249", "W249", "restart"}));
}

} // namespace
