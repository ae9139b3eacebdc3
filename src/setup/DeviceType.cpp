#include "DeviceType.h"

namespace devicetype {

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool isMultiBoard(std::string_view upperCased)
{
    return upperCased == "TRIVELLAV2" || upperCased == "TRIVELLAV2.1";
}

} // namespace devicetype
