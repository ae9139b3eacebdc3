#pragma once

#include "texts/QtTexts.h"

#include <QString>

#include <cstdint>

// The baseline dialog's words, taken from the station's text tables.
namespace setting::texts {

using ::texts::TextId;

inline QString say(TextId id, bool english)
{
    return ::texts::qtext(id, english);
}

// "[n通道]row行,col列基准值设置" followed by the board's firmware version (high byte major,
// low byte minor; below 1.00 the version could not be read).
inline QString caption(bool en, int n, int row, int col, std::uint16_t firmwareVersion)
{
    QString text = QString::asprintf(::texts::text(TextId::SettingTitle, en), n, row, col);
    const unsigned major = firmwareVersion >> 8U;
    const unsigned minor = firmwareVersion & 0xFFU;
    if (firmwareVersion >= 0x100)
        text += QString::asprintf(::texts::text(TextId::FirmwareVersionSuffix, en), major, minor);
    else
        text += say(TextId::FirmwareVersionUnread, en);
    return text;
}

inline QString samplesNotSaved(bool en, const QString& path)
{
    return say(TextId::SamplesNotSaved, en).arg(path);
}

} // namespace setting::texts
