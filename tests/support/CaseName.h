#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

// A test case name spelled from the text a parsing case feeds in, so that a failing case of a
// table of texts names its input: "12abc" stays "12abc", "- 3" becomes "Minus_3", "1,,2" becomes
// "1CommaComma2", "300" becomes "Number300" (ctest would take a name of digits alone for the
// case's index) and the empty text "Empty". Test names may hold only letters, digits and '_'.
inline std::string caseNameFromText(std::string_view text)
{
    if (text.empty())
        return "Empty";
    std::string name;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            name += c;
            continue;
        }
        switch (c) {
        case ' ':
            name += '_';
            break;
        case ',':
            name += "Comma";
            break;
        case '-':
            name += "Minus";
            break;
        case '+':
            name += "Plus";
            break;
        case '.':
            name += "Dot";
            break;
        default:
            name += "X";
            break;
        }
    }
    if (std::all_of(name.begin(), name.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }))
        return std::string("Number").append(name);
    return name;
}
