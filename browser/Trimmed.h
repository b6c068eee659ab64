// Typed text and file lines come with blanks around them.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view kWhiteSpace = " \t\n\r\v\f";

// The text without leading and trailing characters of blanks.
inline std::string Trimmed(std::string_view text, std::string_view blanks = kWhiteSpace)
{
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

// Empty or white space only.
inline bool IsBlank(std::string_view text)
{
    return text.find_first_not_of(kWhiteSpace) == std::string_view::npos;
}
