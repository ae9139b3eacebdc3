#pragma once

#include "Texts.h"

#include <QString>

// The table's text as a QString, for the window layers.
namespace texts {

inline QString qtext(TextId id, bool english)
{
    return QString::fromUtf8(text(id, english));
}

} // namespace texts
