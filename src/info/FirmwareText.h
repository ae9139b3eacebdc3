#pragma once

#include "device/FirmwareInfo.h"

#include <QString>

#include <cstdint>

// The texts of the About dialog's firmware and version fields.
namespace info {

// "%s,FW bug fixed %d times" with "Soft Type"/"HardWare Type", or "%s,错误修复%d次" with
// "软件模式"/"硬件模式".
QString firmwareTypeText(const FirmwareInfo& firmware, bool english);

// A 16-bit version as four hex digits from the top nibble down: 0x0056 is "0.0.5.6".
QString fourDigitVersion(std::uint16_t version);

// "January".."December" for 1..12; empty for anything else.
QString monthName(int month);
// "st", "nd", "rd" for days 1, 2, 3; "th" for every other day.
QString ordinalSuffix(int day);

// "%04d年%02d月%02d日", or "%02s %02d(%s),%04d" with the month's name. A month without a name
// (0, or above 12) shows its number in the name's place, so the date is still readable.
QString buildDateText(int year, int month, int day, bool english);
QString buildDateText(const FirmwareInfo& firmware, bool english);

// The station's own version as the version record gives it: the high 16 bits and the low 8 bits
// of the most significant word, then of the least significant word.
QString versionRecordText(std::uint32_t mostSignificant, std::uint32_t leastSignificant);
// The version this station was built as.
QString stationVersionText();

} // namespace info
