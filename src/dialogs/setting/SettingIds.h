#pragma once

// Control numbers of the baseline dialog (dialog resource 106).
namespace setting::id {

inline constexpr int kDialog = 106;

inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kSamples = 1001;
inline constexpr int kCapture = 1002;
inline constexpr int kAverages = 1003;
inline constexpr int kByPercentage = 1004;
inline constexpr int kByAllowance = 1005;
inline constexpr int kPercentage = 1006;
inline constexpr int kRangeMax = 1007;
inline constexpr int kRangeMin = 1008;
inline constexpr int kAllowedLow = 1009;
inline constexpr int kAllowedHigh = 1010;
inline constexpr int kOpenAll = 1011;
inline constexpr int kCloseAll = 1012;
inline constexpr int kLoad = 1013;
inline constexpr int kSave = 1014;
inline constexpr int kPreview = 1015;
inline constexpr int kBaseline = 1016;
inline constexpr int kPearsonPercent = 1017;
inline constexpr int kPearson = 1051;
inline constexpr int kChannelChoice = 1054;
inline constexpr int kAllChannels = 1055;
inline constexpr int kSingleChannel = 1056;
inline constexpr int kApplySingle = 1057;
inline constexpr int kCustomOrder = 1058;
inline constexpr int kOrderText = 1059;

} // namespace setting::id
