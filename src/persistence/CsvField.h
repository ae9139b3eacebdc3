#pragma once

#include <string>

// One CSV field as spreadsheets read it: quoted only when it holds a comma, a quote or a line
// break, with inner quotes doubled.
inline std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}
