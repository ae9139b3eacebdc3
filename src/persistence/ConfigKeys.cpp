#include "ConfigKeys.h"

#include "GridCounts.h"
#include "IniFile.h"

#include <cstdio>
#include <span>
#include <vector>

namespace configkeys {

namespace {

using namespace configvalue;

void setFlagKey(IniFile& ini, const char* section, const char* key, bool on)
{
    ini.setValue(section, key, on ? "1" : "0");
}

void setNumber(IniFile& ini, const std::string& section, const char* key, long long value)
{
    ini.setValue(section, key, formatInteger(value));
}

std::uint8_t setBit(std::uint8_t value, std::uint8_t mask, bool on)
{
    return GlobalSettings::setBit(value, mask, on);
}

// A channel list taken only with exactly as many values as the board has channels in force
// (a count above 64 is used as 64, as Save wrote it), cut to `mask`.
std::optional<ChannelValues> channelList(const std::string& text, int channelCount, std::uint16_t mask)
{
    const auto values = parseList(text);
    if (values.size() != static_cast<std::size_t>(usedChannels(channelCount)))
        return std::nullopt;
    ChannelValues buffer{};
    for (std::size_t i = 0; i < values.size(); ++i)
        buffer[i] = static_cast<std::uint16_t>(values[i].bits & mask);
    return buffer;
}

} // namespace

std::string boardSection(int k)
{
    char name[32];
    std::snprintf(name, sizeof name, "EXPANDBOARD_%02d_PARA", k);
    return name;
}

void writeGlobalKeys(IniFile& ini, const std::string& deviceType, int gridRows, int gridCols,
                     const GlobalSettings& global)
{
    const std::string g = kGlobalSection;
    ini.setValue(g, "DEVICETYPE", deviceType);
    setNumber(ini, g, "GUIROW", gridRows);
    setNumber(ini, g, "GUICOL", gridCols);
    setNumber(ini, g, "GUIOVERD", global.excessIndication);
    setFlagKey(ini, kGlobalSection, "BUZZERENABLE", global.output(GlobalSettings::BuzzerEnable));
    setFlagKey(ini, kGlobalSection, "BUZZERINVERT", global.output(GlobalSettings::BuzzerInvert));
    setFlagKey(ini, kGlobalSection, "LEDENABLE", global.output(GlobalSettings::LedEnable));
    setFlagKey(ini, kGlobalSection, "LEDINVERT", global.output(GlobalSettings::LedInvert));

    const std::string p = kParameterSection;
    setNumber(ini, p, "ALLOWEDTHRES_HIGH", global.allowedHigh);
    setNumber(ini, p, "ALLOWEDTHRES_LOW", global.allowedLow);
    setNumber(ini, p, "VIEWDATARANGE_MAX", global.viewRangeMax);
    setNumber(ini, p, "VIEWDATARANGE_MIN", global.viewRangeMin);
    setNumber(ini, p, "PERCENTAGE", global.percentage);
    setNumber(ini, p, "TYPE", global.judgeType);

    const ColorScheme& c = global.colors;
    setFlagKey(ini, kColorSection, "ENABLEBAR", c.customColors());
    ini.setValue(kColorSection, "BAR", formatColor(c.passColor));
    ini.setValue(kColorSection, "HIGH", formatColor(c.highColor));
    ini.setValue(kColorSection, "LOW", formatColor(c.lowColor));
    setFlagKey(ini, kColorSection, "ENABLEOVER", c.customExcessColor());
    ini.setValue(kColorSection, "OVER", formatColor(c.excessColor));
    setFlagKey(ini, kColorSection, "ENABLEMASK", c.customMaskColor());
    ini.setValue(kColorSection, "MASK", formatColor(c.maskColor));

    const std::string e = kExpandSection;
    setNumber(ini, e, "EXPANDBOARDNUM", global.expandBoardCount);
    ini.setValue(e, "EXPANDBOARDADDRESS", formatAddressList(global.expandBoardAddress));
    setNumber(ini, e, "EXPANDBOARDCOL", global.gridCols);
    setNumber(ini, e, "EXPANDBOARDROW", global.gridRows);
}

void writeBoardKeys(IniFile& ini, int k, const BoardSnapshot& board)
{
    const std::string s = boardSection(k);
    const auto n = static_cast<std::size_t>(board.entry.channels());
    setNumber(ini, s, "COL", board.entry.col());
    setNumber(ini, s, "ROW", board.entry.row());
    setNumber(ini, s, "ADDRESS", board.entry.boardIndex);
    setNumber(ini, s, "CHANNEL", board.entry.port);
    setNumber(ini, s, "CHANNELNUMBER", board.entry.channelCount);
    for (std::size_t a = 0; a < kArrayKeys.size(); ++a)
        ini.setValue(s, kArrayKeys[a], formatList(std::span<const std::uint16_t>(board.arrays[a]).first(n)));
    if (board.orderEnable) {
        ChannelValues order{};
        std::copy(board.order.begin(), board.order.end(), order.begin());
        ini.setValue(s, "CHANNELORDER", formatList(std::span<const std::uint16_t>(order).first(n)));
    }
    setNumber(ini, s, "ORDERENABLE", board.orderEnable ? 1 : 0);
    const BoardRecord& r = board.record;
    ini.setValue(s, "PEARSONTHRES", formatReal(r.pearsonThreshold));
    setNumber(ini, s, "PEARSONEN", r.pearsonEnable() ? 1 : 0);
    setNumber(ini, s, "USERGAIN", r.userGain);
    setNumber(ini, s, "CURRENT", r.current);
    setNumber(ini, s, "DISCHARGETIME", r.dischargeTime);
    setNumber(ini, s, "DELAYTIME", r.delayTime);
    setNumber(ini, s, "VIEWDATARANGE_MAX", r.viewRangeMax);
    setNumber(ini, s, "VIEWDATARANGE_MIN", r.viewRangeMin);
    setNumber(ini, s, "ALLOWEDTHRES_HIGH", r.allowedHigh);
    setNumber(ini, s, "ALLOWEDTHRES_LOW", r.allowedLow);
    setNumber(ini, s, "PERCENTAGE", r.percentage);
    setNumber(ini, s, "TYPE", r.percentMode() ? 1 : 0);
}

bool GridSizes::acceptable() const
{
    auto fits = [](std::int64_t rows, std::int64_t cols) {
        return rows >= 0 && rows <= GridCounts::kMaxRows && cols >= 0 && cols <= GridCounts::kMaxCols &&
               GridCounts::acceptable(static_cast<int>(rows), static_cast<int>(cols));
    };
    return fits(guiRows, guiCols) && fits(boardRows, boardCols);
}

GridSizes readGridSizes(const IniFile& ini)
{
    GridSizes sizes;
    sizes.guiRows = parseInteger(ini.value(kGlobalSection, "GUIROW")).value;
    sizes.guiCols = parseInteger(ini.value(kGlobalSection, "GUICOL")).value;
    sizes.boardRows = parseInteger(ini.value(kExpandSection, "EXPANDBOARDROW")).value;
    sizes.boardCols = parseInteger(ini.value(kExpandSection, "EXPANDBOARDCOL")).value;
    return sizes;
}

void applyOutputKeys(const IniFile& ini, GlobalSettings& global)
{
    global.excessIndication = toU8(ini.value(kGlobalSection, "GUIOVERD"));
    global.setOutput(GlobalSettings::BuzzerEnable, toFlag(ini.value(kGlobalSection, "BUZZERENABLE")));
    global.setOutput(GlobalSettings::BuzzerInvert, toFlag(ini.value(kGlobalSection, "BUZZERINVERT")));
    global.setOutput(GlobalSettings::LedEnable, toFlag(ini.value(kGlobalSection, "LEDENABLE")));
    global.setOutput(GlobalSettings::LedInvert, toFlag(ini.value(kGlobalSection, "LEDINVERT")));
}

void applyParameterKeys(const IniFile& ini, GlobalSettings& global)
{
    global.allowedHigh = toU16(ini.value(kParameterSection, "ALLOWEDTHRES_HIGH"));
    global.allowedLow = toU16(ini.value(kParameterSection, "ALLOWEDTHRES_LOW"));
    global.viewRangeMax = toU16(ini.value(kParameterSection, "VIEWDATARANGE_MAX"));
    global.viewRangeMin = toU16(ini.value(kParameterSection, "VIEWDATARANGE_MIN"));
    global.percentage = toU16(ini.value(kParameterSection, "PERCENTAGE"));
    global.judgeType = toU8(ini.value(kParameterSection, "TYPE"));

    ColorScheme& c = global.colors;
    auto color = [&](const char* key, Rgbx& field) {
        if (const auto parsed = parseColor(ini.value(kColorSection, key)))
            field = *parsed;
    };
    c.colorFlags =
        setBit(c.colorFlags, ColorScheme::CustomColors, toFlag(ini.value(kColorSection, "ENABLEBAR")));
    color("BAR", c.passColor);
    color("HIGH", c.highColor);
    color("LOW", c.lowColor);
    c.colorFlags =
        setBit(c.colorFlags, ColorScheme::CustomExcessColor, toFlag(ini.value(kColorSection, "ENABLEOVER")));
    color("OVER", c.excessColor);
    c.colorFlags =
        setBit(c.colorFlags, ColorScheme::CustomMaskColor, toFlag(ini.value(kColorSection, "ENABLEMASK")));
    color("MASK", c.maskColor);

    global.expandBoardCount = toU8(ini.value(kExpandSection, "EXPANDBOARDNUM"));
    if (const auto addresses = parseAddressList(ini.value(kExpandSection, "EXPANDBOARDADDRESS")))
        global.expandBoardAddress = *addresses;
    global.gridCols = toU8(ini.value(kExpandSection, "EXPANDBOARDCOL"));
    global.gridRows = toU8(ini.value(kExpandSection, "EXPANDBOARDROW"));
}

BoardSection readBoardSection(const IniFile& ini, int k)
{
    const std::string s = boardSection(k);
    BoardSection board;
    board.col = toU8(ini.value(s, "COL"));
    board.row = toU8(ini.value(s, "ROW"));
    board.boardIndex = toU8(ini.value(s, "ADDRESS"));
    board.port = toU8(ini.value(s, "CHANNEL"));
    board.channelCount = toU8(ini.value(s, "CHANNELNUMBER"));
    for (std::size_t a = 0; a < kArrayKeys.size(); ++a) {
        const std::uint16_t mask = a == 3 ? 0xFF : 0xFFFF; // MASK holds bytes
        board.arrays[a] = channelList(ini.value(s, kArrayKeys[a]), board.channelCount, mask);
    }
    if (parseInteger(ini.value(s, "ORDERENABLE")).value != 0) {
        const auto order = channelList(ini.value(s, "CHANNELORDER"), board.channelCount, 0xFF);
        if (order) {
            board.orderChange = BoardSection::OrderChange::Set;
            for (std::size_t i = 0; i < board.order.size(); ++i)
                board.order[i] = static_cast<std::uint8_t>((*order)[i]);
        } else {
            board.orderChange = BoardSection::OrderChange::Keep;
        }
    } else {
        board.orderChange = BoardSection::OrderChange::Clear;
        board.order = identityOrder();
    }
    return board;
}

void applyBoardRecordKeys(const IniFile& ini, int k, BoardRecord& record)
{
    const std::string s = boardSection(k);
    record.pearsonThreshold = parseReal(ini.value(s, "PEARSONTHRES"));
    record.setFlag(BoardRecord::PearsonEnable, toFlag(ini.value(s, "PEARSONEN")));
    record.userGain = toU8(ini.value(s, "USERGAIN"));
    record.current = toU8(ini.value(s, "CURRENT"));
    record.dischargeTime = toU8(ini.value(s, "DISCHARGETIME"));
    record.delayTime = toU8(ini.value(s, "DELAYTIME"));
    record.viewRangeMax = toU16(ini.value(s, "VIEWDATARANGE_MAX"));
    record.viewRangeMin = toU16(ini.value(s, "VIEWDATARANGE_MIN"));
    record.allowedHigh = toU16(ini.value(s, "ALLOWEDTHRES_HIGH"));
    record.allowedLow = toU16(ini.value(s, "ALLOWEDTHRES_LOW"));
    record.percentage = toU16(ini.value(s, "PERCENTAGE"));
    record.setFlag(BoardRecord::PercentMode, toFlag(ini.value(s, "TYPE")));
}

namespace {

// Every key Save writes into the global sections, section by section.
struct SectionKeys {
    const char* section;
    std::vector<const char*> keys;
};

const std::vector<SectionKeys>& globalSectionKeys()
{
    static const std::vector<SectionKeys> sections = {
        {kGlobalSection,
         {"DEVICETYPE", "GUIROW", "GUICOL", "GUIOVERD", "BUZZERENABLE", "BUZZERINVERT", "LEDENABLE",
          "LEDINVERT"}},
        {kParameterSection,
         {"ALLOWEDTHRES_HIGH", "ALLOWEDTHRES_LOW", "VIEWDATARANGE_MAX", "VIEWDATARANGE_MIN", "PERCENTAGE",
          "TYPE"}},
        {kColorSection, {"ENABLEBAR", "BAR", "HIGH", "LOW", "ENABLEOVER", "OVER", "ENABLEMASK", "MASK"}},
        {kExpandSection, {"EXPANDBOARDNUM", "EXPANDBOARDADDRESS", "EXPANDBOARDCOL", "EXPANDBOARDROW"}},
    };
    return sections;
}

// The keys of a board section around its four channel lists and CHANNELORDER.
constexpr std::array<const char*, 5> kBoardTableKeys = {"COL", "ROW", "ADDRESS", "CHANNEL", "CHANNELNUMBER"};
constexpr std::array<const char*, 12> kBoardRecordKeys = {
    "PEARSONTHRES",      "PEARSONEN",        "USERGAIN",          "CURRENT",
    "DISCHARGETIME",     "DELAYTIME",        "VIEWDATARANGE_MAX", "VIEWDATARANGE_MIN",
    "ALLOWEDTHRES_HIGH", "ALLOWEDTHRES_LOW", "PERCENTAGE",        "TYPE"};

std::string keyName(const std::string& section, const char* key)
{
    return "[" + section + "] " + key;
}

std::optional<std::string> firstMissingKey(const IniFile& ini, const std::string& section,
                                           std::span<const char* const> keys)
{
    for (const char* key : keys)
        if (!ini.contains(section, key))
            return keyName(section, key);
    return std::nullopt;
}

// Keys in the order Save writes them, so a file cut short names the key where it ends.
std::optional<std::string> firstMissingInBoard(const IniFile& ini, int k)
{
    const std::string s = boardSection(k);
    if (!ini.hasSection(s))
        return "[" + s + "]";
    if (auto missing = firstMissingKey(ini, s, kBoardTableKeys))
        return missing;
    const int channels = usedChannels(toU8(ini.value(s, "CHANNELNUMBER")));
    for (const char* key : kArrayKeys) {
        if (!ini.contains(s, key))
            return keyName(s, key);
        const std::size_t found = parseList(ini.value(s, key)).size();
        if (found != static_cast<std::size_t>(channels))
            return keyName(s, key) + " (" + std::to_string(found) + "/" + std::to_string(channels) + ")";
    }
    if (!ini.contains(s, "ORDERENABLE"))
        return keyName(s, "ORDERENABLE");
    if (parseInteger(ini.value(s, "ORDERENABLE")).value != 0 && !ini.contains(s, "CHANNELORDER"))
        return keyName(s, "CHANNELORDER");
    return firstMissingKey(ini, s, kBoardRecordKeys);
}

} // namespace

std::optional<std::string> firstMissing(const IniFile& ini, bool withBoards)
{
    for (const SectionKeys& section : globalSectionKeys()) {
        if (!ini.hasSection(section.section))
            return "[" + std::string(section.section) + "]";
        if (auto missing = firstMissingKey(ini, section.section, section.keys))
            return missing;
    }
    if (!withBoards)
        return std::nullopt;
    const int rows = toU8(ini.value(kExpandSection, "EXPANDBOARDROW"));
    const int cols = toU8(ini.value(kExpandSection, "EXPANDBOARDCOL"));
    for (int k = 0; k < rows * cols; ++k)
        if (auto missing = firstMissingInBoard(ini, k))
            return missing;
    return std::nullopt;
}

} // namespace configkeys
