#pragma once

// Command numbers of the menu bar and the grid's context menu.
namespace station::cmd {

// File
inline constexpr int kSave = 32798;
inline constexpr int kLoad = 32800;
inline constexpr int kSaveOldFormat = 57603;
inline constexpr int kLoadOldFormat = 32790;
// Edit
inline constexpr int kSetting = 32773;
inline constexpr int kColor = 32811;
inline constexpr int kExcessEnable = 32778;
inline constexpr int kExcessClear = 32782;
inline constexpr int kBuzzerEnable = 32784;
inline constexpr int kBuzzerInvert = 32785;
inline constexpr int kLedEnable = 32795;
inline constexpr int kLedInvert = 32796;
inline constexpr int kCamera = 32802;
inline constexpr int kRecorder = 32846;
// Expand board
inline constexpr int kExpandSetting = 32787;
// Help
inline constexpr int kChinese = 32807;
inline constexpr int kEnglish = 32808;
inline constexpr int kCheckUpdates = 32776;
inline constexpr int kAbout = 32774;
inline constexpr int kCertificate = 32809;

// Context menu
inline constexpr int kBoardSetting = 32789;
inline constexpr int kGainFirst = 32815; // 32815..32821: gain 1..7
inline constexpr int kGainLast = 32821;
inline constexpr int kCurrentFirst = 32823; // 32823..32830: current 0..7
inline constexpr int kCurrentLast = 32830;
inline constexpr int kDischargeFirst = 32832; // 32832..32839: discharge time 0..7
inline constexpr int kDischargeLast = 32839;
inline constexpr int kDelayFirst = 32841; // 32841..32844: delay time 0..3
inline constexpr int kDelayLast = 32844;
inline constexpr int kOneKeySetting = 32813;
inline constexpr int kChannelMonitor = 32850; // channel monitor of the board under the click

// System menu
inline constexpr int kSysAbout = 16;

} // namespace station::cmd
