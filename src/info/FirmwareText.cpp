#include "FirmwareText.h"

#include "texts/QtTexts.h"

#include <array>

namespace info {

QString firmwareTypeText(const FirmwareInfo& firmware, bool english)
{
    const bool hardware = firmware.isHardwareType();
    using texts::TextId;
    return texts::qtext(TextId::FirmwareFixes, english)
        .arg(texts::qtext(hardware ? TextId::FirmwareHardType : TextId::FirmwareSoftType, english))
        .arg(firmware.bugFixCount());
}

QString fourDigitVersion(std::uint16_t version)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((version >> 12) & 0xF, 1, 16)
        .arg((version >> 8) & 0xF, 1, 16)
        .arg((version >> 4) & 0xF, 1, 16)
        .arg(version & 0xF, 1, 16);
}

QString monthName(int month)
{
    static const std::array<const char*, 13> names{"",        "January",  "February", "March",  "April",
                                                   "May",     "June",     "July",     "August", "September",
                                                   "October", "November", "December"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromLatin1(names[static_cast<std::size_t>(month)]);
}

QString ordinalSuffix(int day)
{
    switch (day) {
    case 1:
        return QStringLiteral("st");
    case 2:
        return QStringLiteral("nd");
    case 3:
        return QStringLiteral("rd");
    default:
        return QStringLiteral("th");
    }
}

QString buildDateText(int year, int month, int day, bool english)
{
    if (!english)
        return QStringLiteral("%1年%2月%3日")
            .arg(year, 4, 10, QLatin1Char('0'))
            .arg(month, 2, 10, QLatin1Char('0'))
            .arg(day, 2, 10, QLatin1Char('0'));
    QString name = monthName(month);
    if (name.isEmpty())
        name = QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 %2(%3),%4")
        .arg(name, 2)
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(ordinalSuffix(day))
        .arg(year, 4, 10, QLatin1Char('0'));
}

QString buildDateText(const FirmwareInfo& firmware, bool english)
{
    return buildDateText(firmware.buildYear(), firmware.buildMonth(), firmware.buildDay(), english);
}

QString versionRecordText(std::uint32_t mostSignificant, std::uint32_t leastSignificant)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(mostSignificant >> 16)
        .arg(mostSignificant & 0xFF)
        .arg(leastSignificant >> 16)
        .arg(leastSignificant & 0xFF);
}

QString stationVersionText()
{
    constexpr std::uint32_t kMost = (std::uint32_t{STATION_VERSION_MAJOR} << 16) | STATION_VERSION_MINOR;
    constexpr std::uint32_t kLeast = (std::uint32_t{STATION_VERSION_PATCH} << 16) | STATION_VERSION_TWEAK;
    return versionRecordText(kMost, kLeast);
}

} // namespace info
