#pragma once

// The station's fixed texts as the operator and the head see them (UTF-8).
namespace station::text {

// Window captions.
inline constexpr const char* kNoHeadAtStart = "USB Disconnected";
inline constexpr const char* kConnectedEnglish = "USB Connected";
inline constexpr const char* kConnectedChinese = "设备已连接";
inline constexpr const char* kRemoved = "Disconnected";
inline constexpr const char* kGridRefused = "参数设置有误，请重新设置参数！";

// Status pane labels.
inline constexpr const char* kPaneConnectedEnglish = "Connected";
inline constexpr const char* kPaneConnectedChinese = "已连接";
inline constexpr const char* kPaneDisconnectedEnglish = "Disconnected";
inline constexpr const char* kPaneDisconnectedChinese = "未连接";

// Messages.
inline constexpr const char* kSecondInstance = "已经运行了一个程序，禁止同时开启两个相同的程序!";
inline constexpr const char* kMonitorFailed = "RegisterDeviceNotification   failed";
inline constexpr const char* kUnsupportedType = "不支持的测试板";
inline constexpr const char* kOldFirmware = "本版本需要固件版本为V0.0.5.6以上版本，请升级固件！";
inline constexpr const char* kOneKeyDone = "一键设置完成!";
inline constexpr const char* kVersionCaption = "版本提示";
inline constexpr const char* kFirmwareTooOld108 =
    "测试头固件版本太低，不支持本命令，当前固件版本为Ver%X.%02X，需要支持本命令固件版本为Ver1.08，"
    "请联系供应商升级测试头固件！";
inline constexpr const char* kFirmwareTooOld110 =
    "测试头固件版本太低，不支持本命令，当前固件版本为Ver%X.%02X，需要支持本命令固件版本为Ver1.10，"
    "请联系供应商升级测试头固件！";

// Operator lock refusals.
inline constexpr const char* kLockContextMenu = "右键菜单被禁止！";
inline constexpr const char* kLockContextSetting = "右键参数菜单被禁止！";
inline constexpr const char* kLockLoad = "载入菜单被禁止！";
inline constexpr const char* kLockSave = "保存菜单被禁止！";
inline constexpr const char* kLockExpandMenu = "扩展板菜单被禁止！";

// Second LCD lines.
inline constexpr const char* kLcdBooting = " BOOTING...     ";
inline constexpr const char* kLcdAllPass = "    ALL PASS    ";
inline constexpr const char* kLcdFail = "      FAIL      ";
inline constexpr const char* kLcdClosed = "     CLOSED     ";

// Board loading gave up on a board (row, column): it and the boards after it are not tested.
inline constexpr const char* kBoardNotLoadedEnglish =
    "Board at row %d, column %d did not answer while loading: it and the boards after it are not measured.";
inline constexpr const char* kBoardNotLoadedChinese =
    "第%d行第%d列的板加载时无应答：该板及其后的板不进行测试。";

// Context menu.
inline constexpr const char* kBoardSettingEnglish = "Row %d Col %d Setting";
inline constexpr const char* kBoardSettingChinese = "%d行%d列设置";

// Device types of the multi-board head.
inline constexpr const char* kTypeV2 = "TRIVELLAV2";
inline constexpr const char* kTypeV21 = "TRIVELLAV2.1";

} // namespace station::text
