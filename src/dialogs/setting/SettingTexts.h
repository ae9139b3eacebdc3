#pragma once

#include <QString>

#include <cstdint>

// The baseline dialog's own words, in the two languages where it has two.
namespace setting::texts {

inline QString pick(bool english, const char* chinese, const char* englishText)
{
    return QString::fromUtf8(english ? englishText : chinese);
}

// Resource texts, shown until the language table replaces them.
inline constexpr const char* kCaption = "Baseline setting";
inline constexpr const char* kCapture = "读取";
inline constexpr const char* kSave = "保存";
inline constexpr const char* kLoad = "载入";
inline constexpr const char* kBaseline = "求基准";
inline constexpr const char* kRangeGroup = "数值范围";
inline constexpr const char* kUpper = "上限";
inline constexpr const char* kLower = "下限";
inline constexpr const char* kPearsonGroup = "相似度";
inline constexpr const char* kPearson = "阀值";
inline constexpr const char* kOpenAll = "打开所有通道";
inline constexpr const char* kCloseAll = "关闭所有通道";
inline constexpr const char* kThresholdGroup = "阀值设定";
inline constexpr const char* kByPercentage = "百分比";
inline constexpr const char* kByAllowance = "上下限";
inline constexpr const char* kAllChannels = "所有通道按照上述参数统一设定";
inline constexpr const char* kSingleChannel = "单独设定某一条通道";
inline constexpr const char* kApplySingle = "设定";
inline constexpr const char* kCustomOrder = "自定义线序";
inline constexpr const char* kOrderExample = "掩码编辑示例";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kOk = "Ok";
inline constexpr const char* kNumberColumn = "No.";

// Texts set when the dialog opens, by the interface language.
inline QString capture(bool en)
{
    return pick(en, "读取", "Read");
}
inline QString save(bool en)
{
    return pick(en, "保存", "Save");
}
inline QString load(bool en)
{
    return pick(en, "载入", "Load");
}
inline QString baseline(bool en)
{
    return pick(en, "求基准", "Baseline");
}
inline QString pearson(bool en)
{
    return pick(en, "相似度阀值", "Threshold");
}
inline QString byPercentage(bool en)
{
    return pick(en, "按百分比", "By percentage");
}
inline QString byAllowance(bool en)
{
    return pick(en, "按上下限", "By upper&&lower limits");
}
inline QString openAll(bool en)
{
    return pick(en, "全部打开", "Open all channels");
}
inline QString closeAll(bool en)
{
    return pick(en, "全部关闭", "Close all channels");
}
inline QString average(bool en)
{
    return pick(en, "均值", "AVG");
}

// "[n通道]row行,col列基准值设置" followed by the board's firmware version (high byte major,
// low byte minor; below 1.00 the version could not be read).
inline QString caption(bool en, int n, int row, int col, std::uint16_t firmwareVersion)
{
    QString text = en ? QString::asprintf("[%d Channel]Row %d,Col %d Baseline setting", n, row, col)
                      : QString::asprintf("[%d通道]%d行,%d列基准值设置", n, row, col);
    const unsigned major = firmwareVersion >> 8U;
    const unsigned minor = firmwareVersion & 0xFFU;
    if (firmwareVersion >= 0x100)
        text += en ? QString::asprintf("[FW Ver%X.%02X]", major, minor)
                   : QString::asprintf("[当前固件版本为Ver%X.%02X]", major, minor);
    else
        text += pick(en, " - 固件版本读取错误", " - read firmware version error");
    return text;
}

// Messages, Chinese only as the station has always shown them.
inline QString baselineLocked()
{
    return QString::fromUtf8("求基准按钮被禁止！");
}
inline QString noSampleTicked()
{
    return QStringLiteral("ERR");
}
inline QString noChannelSelected()
{
    return QString::fromUtf8("请选择需要单独设置的通道！");
}
inline QString notANumber()
{
    return QString::fromUtf8("请输入一个数字。");
}
inline QString badOrder()
{
    return QString::fromUtf8("数据不合法，有大于通道数或者小于0的序号！");
}

// Messages of this station for failures the operator must not miss.
inline QString boardNotRead(bool en)
{
    return pick(en, "无法从测试头读取本板的参数，本次设置不会写入测试头！",
                "The board's settings could not be read from the test head; nothing will be stored.");
}
inline QString headNotWritten(bool en)
{
    return pick(en, "写入测试头失败，请检查连接后重新设置！",
                "Writing to the test head failed; check the connection and set the board again.");
}
inline QString samplesNotSaved(bool en, const QString& path)
{
    return (en ? QStringLiteral("The samples could not be saved to %1.")
               : QString::fromUtf8("无法保存采样数据到文件 %1！"))
        .arg(path);
}

} // namespace setting::texts
