#include "browser/properties/DnEscape.h"

std::string EscapeDnValue(std::string_view value)
{
    std::string escaped;
    escaped.reserve(value.size() + 8);
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\0') {
            escaped += "\\00";
            continue;
        }
        bool special = std::string_view(",+\"\\<>;").find(c) != std::string_view::npos;
        bool leading = i == 0 && (c == '#' || c == ' ');
        bool trailing = i + 1 == value.size() && c == ' ';
        if (special || leading || trailing)
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}
