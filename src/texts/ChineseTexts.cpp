// The operator's texts in Chinese: the station's own words as it has always shown them.
#include "TextTable.h"

namespace texts::detail {

namespace {

using enum TextId;

constexpr Entry kChinese[] = {
    // Main window and connection.
    {ConnectedCaption, "设备已连接"},
    {PaneConnected, "已连接"},
    {PaneDisconnected, "未连接"},
    {PanePlugInHead, "请插入设备"},
    {GridRefusedCaption, "参数设置有误，请重新设置参数！"},
    {SecondInstance, "已经运行了一个程序，禁止同时开启两个相同的程序!"},
    {UnsupportedType, "不支持的测试板"},
    {OldFirmware, "本版本需要固件版本为V0.0.5.6以上版本，请升级固件！"},
    {OneKeyDone, "一键设置完成!"},
    {OneKeyConfirm,
     "一键设定将以当前计数作为全部%2块板的基准值，按%1重新设定阀值，并立即写入测试头。\n确定继续吗？"},
    {OneKeyByPercentage, "百分比%1%"},
    {OneKeyByAllowances, "下限%1、上限%2"},
    {VersionCaption, "版本提示"},
    {FirmwareTooOld108,
     "测试头固件版本太低，不支持本命令，当前固件版本为Ver%X.%02X，需要支持本命令固件版本为Ver1.08，"
     "请联系供应商升级测试头固件！"},
    {FirmwareTooOld110,
     "测试头固件版本太低，不支持本命令，当前固件版本为Ver%X.%02X，需要支持本命令固件版本为Ver1.10，"
     "请联系供应商升级测试头固件！"},
    {BoardSettingItem, "%d行%d列设置"},
    {ProductCaption, "触摸屏测试站"},
    {HeadNotAccessible,
     "测试头已插入但无法打开（%s）：请安装 udev 规则，或关闭占用测试头的程序，详见 README。"},
    // Operator lock refusals.
    {LockContextMenu, "右键菜单被禁止！"},
    {LockContextSetting, "右键参数菜单被禁止！"},
    {LockLoad, "载入菜单被禁止！"},
    {LockSave, "保存菜单被禁止！"},
    {LockExpandMenu, "扩展板菜单被禁止！"},
    // Setup files.
    {SetupFileFilter, "配置文件(*.ini)"},
    {TypeMismatch, "设备类型与配置参数不符!"},
    {FileSaved, "文件保存成功！"},
    {SaveCaption, "参数保存"},
    {FileLoaded, "文件载入成功！"},
    {LoadCaption, "参数载入"},
    {SaveFailed, "文件保存失败！"},
    {HeadReadFailedNotSaved, "读取测试头参数失败，文件未保存！"},
    {HeadWriteFailedNotLoaded, "与测试头通讯失败，参数未完全载入！"},
    {FileGridOutOfRange, "配置文件中的行数或列数超出范围(0-4)，参数未载入！"},
    // Raw-data files.
    {ReloadQuestion, "真正需要重新载入？"},
    {FileMissing, "文件不存在"},
    // Baseline dialog: controls.
    {SettingCaption, "Baseline setting"},
    {SettingTitle, "[%d通道]%d行,%d列基准值设置"},
    {FirmwareVersionSuffix, "[当前固件版本为Ver%X.%02X]"},
    {FirmwareVersionUnread, " - 固件版本读取错误"},
    {Capture, "读取"},
    {SaveSamples, "保存"},
    {LoadSamples, "载入"},
    {Baseline, "求基准"},
    {RangeGroup, "数值范围"},
    {Upper, "上限"},
    {Lower, "下限"},
    {PearsonGroup, "相似度"},
    {PearsonResource, "阀值"},
    {Pearson, "相似度阀值"},
    {OpenAllResource, "打开所有通道"},
    {CloseAllResource, "关闭所有通道"},
    {OpenAll, "全部打开"},
    {CloseAll, "全部关闭"},
    {ThresholdGroup, "阀值设定"},
    {ByPercentageResource, "百分比"},
    {ByAllowanceResource, "上下限"},
    {ByPercentage, "按百分比"},
    {ByAllowance, "按上下限"},
    {AllChannels, "所有通道按照上述参数统一设定"},
    {SingleChannel, "单独设定某一条通道"},
    {ApplySingle, "设定"},
    {CustomOrder, "自定义线序"},
    {OrderExample, "掩码编辑示例"},
    {SettingCancel, "Cancel"},
    {SettingOk, "Ok"},
    {NumberColumn, "No."},
    {Average, "均值"},
    // Baseline dialog: messages.
    {BaselineLocked, "求基准按钮被禁止！"},
    {NoSampleTicked, "ERR"},
    {NoChannelSelected, "请选择需要单独设置的通道！"},
    {NotANumber, "请输入一个数字。"},
    {BadOrder, "数据不合法，有大于通道数或者小于0的序号！"},
    {BoardNotRead, "无法从测试头读取本板的参数，本次设置不会写入测试头！"},
    {HeadNotWritten, "写入测试头失败，请检查连接后重新设置！"},
    {SamplesNotSaved, "无法保存采样数据到文件 %1！"},
    // Input checks.
    {FieldEmpty, "“%1”为空，请输入一个数字。参数未保存。"},
    {FieldOutOfRange, "“%1”必须是%2到%3之间的整数。参数未保存。"},
    {ThresholdLowBelowZero, "通道%d的下限阀值将为%d，小于0。参数未保存。"},
    {ThresholdHighAboveMax, "通道%d的上限阀值将为%d，大于65535。参数未保存。"},
    {ThresholdLowAboveHigh, "通道%d的下限阀值%d大于上限阀值%d。参数未保存。"},
    {RangeMinAboveMax, "数值范围的下限%d大于上限%d。参数未保存。"},
    {OneKeyBoard, "%d行%d列："},
    {FieldPercentage, "百分比"},
    {FieldAllowedLow, "阀值下限"},
    {FieldAllowedHigh, "阀值上限"},
    {FieldRangeMax, "数值范围上限"},
    {FieldRangeMin, "数值范围下限"},
    {FieldPearson, "相似度阀值"},
    // Expansion board dialog.
    {ExpandCaption, "Expand board setting"},
    {ExpandGridMessage, "行数和列数必须在0到4之间！"},
    {ExpandAddressGroup, "扩展板地址"},
    {ExpandBoardCount, "扩展板数量"},
    {ExpandAddress, "地址"},
    {ExpandGridGroup, "行列数设置"},
    {ExpandRead, "读取"},
    {ExpandSet, "设置"},
    {ExpandRow, "行"},
    {ExpandCol, "列"},
    {ExpandMapGroup, "地址映射"},
    {ExpandInitialise, "初始化"},
    {ExpandWrite, "写入"},
    {DialogOk, "OK"},
    {DialogCancel, "Cancel"},
    // Colour dialog.
    {ColourCaption, "颜色设置"},
    {CustomColours, "自定义颜色"},
    {CustomExcessColour, "自定义超量颜色"},
    {CustomMaskColour, "自定义屏蔽颜色"},
    {PassColour, "合格颜色值"},
    {HighColour, "偏高颜色值"},
    {LowColour, "偏低颜色值"},
    {ColourOk, "确定"},
    {ColourCancel, "取消"},
    {ColourOther, "其它"},
    // About dialog.
    {AboutFirmwareGroup, "固件信息"},
    {AboutType, "类型"},
    {AboutVersion, "版本"},
    {AboutTime, "时间"},
    {AboutSoftwareGroup, "软件版本信息"},
    {AboutVersionNumber, "版本号"},
    {FirmwareSoftType, "软件模式"},
    {FirmwareHardType, "硬件模式"},
    {FirmwareFixes, "%1,错误修复%2次"},
    // Camera window.
    {NoCamera, "未找到摄像头：请连接摄像头后重新打开本窗口。"},
};

} // namespace

extern const Index kChineseIndex;
constinit const Index kChineseIndex = indexOf(kChinese);

} // namespace texts::detail
