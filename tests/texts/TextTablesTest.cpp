#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace {

using texts::TextId;

std::vector<TextId> allIds()
{
    std::vector<TextId> ids;
    for (int i = 0; i < static_cast<int>(TextId::Count); ++i)
        ids.push_back(static_cast<TextId>(i));
    return ids;
}

// Code points of the CJK blocks the Chinese texts use (ideographs and full-width punctuation).
bool holdsCjk(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        std::size_t length = 1;
        if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            length = 2;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            length = 3;
        } else {
            cp = lead & 0x07;
            length = 4;
        }
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if ((cp >= 0x3000 && cp <= 0x9FFF) || (cp >= 0xFF00 && cp <= 0xFFEF) || cp == 0x201C || cp == 0x201D)
            return true;
        i += length;
    }
    return false;
}

// The placeholders of a text: printf conversions ("%d", "%02X", "%s") and QString's "%1".."%9",
// in order; "%%" is a literal.
std::vector<std::string> placeholders(std::string_view text)
{
    std::vector<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 >= text.size())
            continue;
        std::size_t end = i + 1;
        if (text[end] == '%') {
            ++i;
            continue;
        }
        while (end < text.size() &&
               std::string_view("0123456789.-").find(text[end]) != std::string_view::npos)
            ++end;
        if (end < text.size() && std::string_view("dXxsugf").find(text[end]) != std::string_view::npos) {
            ++end; // printf
        } else {
            end = i + 1; // QString: the digits only
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0)
                ++end;
        }
        found.emplace_back(text.substr(i, end - i));
        i = end - 1;
    }
    std::sort(found.begin(), found.end()); // QString's %1 and %2 may change places between languages
    return found;
}

// "Text12_TheFileWasSaved": the id and the start of its English text.
std::string idName(const testing::TestParamInfo<TextId>& info)
{
    std::string name = "Text" + std::to_string(static_cast<int>(info.param)) + "_";
    bool upper = true;
    for (const char c : std::string_view(texts::text(info.param, true))) {
        if (name.size() > 40)
            break;
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        } else {
            upper = true;
        }
    }
    return name;
}

class EveryText : public testing::TestWithParam<TextId> {};

TEST_P(EveryText, EnglishHoldsNoChineseCharacters)
{
    const char* english = texts::text(GetParam(), true);
    EXPECT_FALSE(holdsCjk(english)) << english;
}

TEST_P(EveryText, BothLanguagesHaveText)
{
    EXPECT_STRNE(texts::text(GetParam(), true), "");
    EXPECT_STRNE(texts::text(GetParam(), false), "");
}

TEST_P(EveryText, BothLanguagesTakeTheSamePlaceholders)
{
    EXPECT_EQ(placeholders(texts::text(GetParam(), true)), placeholders(texts::text(GetParam(), false)))
        << texts::text(GetParam(), true) << " / " << texts::text(GetParam(), false);
}

INSTANTIATE_TEST_SUITE_P(Tables, EveryText, testing::ValuesIn(allIds()), idName);

// The Chinese interface keeps the station's texts exactly as operators know them.
struct KnownText {
    const char* name;
    TextId id;
    const char* chinese;
};

class ChineseText : public testing::TestWithParam<KnownText> {};

TEST_P(ChineseText, IsTheStationsOwn)
{
    EXPECT_STREQ(texts::text(GetParam().id, false), GetParam().chinese);
}

const KnownText kKnownTexts[] = {
    {"SecondInstance", TextId::SecondInstance, "已经运行了一个程序，禁止同时开启两个相同的程序!"},
    {"OneKeyDone", TextId::OneKeyDone, "一键设置完成!"},
    {"NotANumber", TextId::NotANumber, "请输入一个数字。"},
    {"BadOrder", TextId::BadOrder, "数据不合法，有大于通道数或者小于0的序号！"},
    {"TypeMismatch", TextId::TypeMismatch, "设备类型与配置参数不符!"},
    {"FileSaved", TextId::FileSaved, "文件保存成功！"},
    {"FileLoaded", TextId::FileLoaded, "文件载入成功！"},
    {"SaveFailed", TextId::SaveFailed, "文件保存失败！"},
    {"SetupFileFilter", TextId::SetupFileFilter, "配置文件(*.ini)"},
    {"PaneDisconnected", TextId::PaneDisconnected, "未连接"},
    {"PanePlugInHead", TextId::PanePlugInHead, "请插入设备"},
    {"ConnectedCaption", TextId::ConnectedCaption, "设备已连接"},
    {"ColourCaption", TextId::ColourCaption, "颜色设置"},
    {"ColourOther", TextId::ColourOther, "其它"},
    {"ExpandAddressGroup", TextId::ExpandAddressGroup, "扩展板地址"},
    {"ExpandCaption", TextId::ExpandCaption, "Expand board setting"},
    {"AllChannels", TextId::AllChannels, "所有通道按照上述参数统一设定"},
    {"ByAllowance", TextId::ByAllowance, "按上下限"},
    {"Average", TextId::Average, "均值"},
    {"SettingTitle", TextId::SettingTitle, "[%d通道]%d行,%d列基准值设置"},
    {"FileMissing", TextId::FileMissing, "文件不存在"},
    {"LockExpandMenu", TextId::LockExpandMenu, "扩展板菜单被禁止！"},
};

INSTANTIATE_TEST_SUITE_P(Tables, ChineseText, testing::ValuesIn(kKnownTexts),
                         [](const testing::TestParamInfo<KnownText>& known) {
                             return std::string(known.param.name);
                         });

TEST(TextLookup, AnIdOutsideTheTablesGivesAnEmptyText)
{
    EXPECT_STREQ(texts::text(TextId::Count, true), "");
}

} // namespace
