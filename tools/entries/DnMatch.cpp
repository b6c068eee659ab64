#include "tools/entries/DnMatch.h"

#include <algorithm>
#include <cctype>

namespace {

bool isHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int hexValue(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                       : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The parts of text between unescaped, unquoted separators.
std::vector<std::string> splitAt(std::string_view text, std::string_view separators)
{
    std::vector<std::string> parts;
    std::string part;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            part += c;
            part += text[++i];
        } else if (c == '"') {
            quoted = !quoted;
            part += c;
        } else if (!quoted && separators.find(c) != std::string_view::npos) {
            parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(std::move(part));
    return parts;
}

// The value's bytes: "\2C" and "\," both give a comma; quotes go. A blank
// at either end counts only when escaped.
std::string unescaped(std::string_view value)
{
    std::size_t end = value.size();
    // A trailing blank stays when a backslash keeps it.
    while (end > 0 && value[end - 1] == ' ' && !(end >= 2 && value[end - 2] == '\\'))
        --end;
    std::size_t i = 0;
    while (i < end && value[i] == ' ')
        ++i;
    std::string bytes;
    for (; i < end; ++i) {
        const char c = value[i];
        if (c == '"')
            continue;
        if (c == '\\' && i + 2 < end && isHex(value[i + 1]) && isHex(value[i + 2])) {
            bytes += static_cast<char>(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2]));
            i += 2;
        } else if (c == '\\' && i + 1 < end) {
            bytes += value[++i];
        } else {
            bytes += c;
        }
    }
    return bytes;
}

// One attribute value assertion in a form that only equal ones share.
std::string avaKey(std::string_view ava)
{
    const std::size_t equals = ava.find('=');
    std::string key;
    for (char c : trimmed(ava.substr(0, equals)))
        key += lower(c);
    key += '=';
    if (equals == std::string_view::npos)
        return key;
    static constexpr char kHex[] = "0123456789abcdef";
    for (char c : unescaped(ava.substr(equals + 1))) {
        const auto byte = static_cast<unsigned char>(lower(c));
        if (std::isalnum(byte)) {
            key += static_cast<char>(byte);
        } else {
            key += '\\';
            key += kHex[byte >> 4];
            key += kHex[byte & 15];
        }
    }
    return key;
}

} // namespace

std::vector<std::string> SplitRdns(std::string_view dn)
{
    if (trimmed(dn).empty())
        return {};
    return splitAt(dn, ",;");
}

std::string DnKey(std::string_view dn)
{
    std::string key;
    for (const std::string& rdn : SplitRdns(dn)) {
        std::vector<std::string> avas;
        for (const std::string& ava : splitAt(rdn, "+"))
            avas.push_back(avaKey(ava));
        std::sort(avas.begin(), avas.end());
        if (!key.empty())
            key += ',';
        for (std::size_t i = 0; i < avas.size(); ++i)
            key += (i ? "+" : "") + avas[i];
    }
    return key;
}

bool SameDn(std::string_view a, std::string_view b)
{
    return DnKey(a) == DnKey(b);
}

std::size_t DnDepth(std::string_view dn)
{
    return SplitRdns(dn).size();
}

std::string SuperiorDn(std::string_view dn)
{
    const std::vector<std::string> rdns = SplitRdns(dn);
    std::string superior;
    for (std::size_t i = 1; i < rdns.size(); ++i)
        superior += (i > 1 ? "," : "") + rdns[i];
    return superior;
}
