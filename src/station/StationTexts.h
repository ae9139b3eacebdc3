#pragma once

// The station's fixed texts that do not depend on the interface language (UTF-8): English-only
// captions, the head's LCD lines and device types. Texts in both languages: texts/Texts.h.
namespace station::text {

// Window captions.
inline constexpr const char* kNoHeadAtStart = "USB Disconnected";
inline constexpr const char* kRemoved = "Disconnected";

// Messages.
inline constexpr const char* kMonitorFailed = "RegisterDeviceNotification   failed";

// Second LCD lines.
inline constexpr const char* kLcdBooting = " BOOTING...     ";
inline constexpr const char* kLcdAllPass = "    ALL PASS    ";
inline constexpr const char* kLcdFail = "      FAIL      ";
inline constexpr const char* kLcdClosed = "     CLOSED     ";

// Device types of the multi-board head.
inline constexpr const char* kTypeV2 = "TRIVELLAV2";
inline constexpr const char* kTypeV21 = "TRIVELLAV2.1";

} // namespace station::text
