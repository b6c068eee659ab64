#include "templates/FormPost.h"

#include <strings.h>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void encode(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // A lone CR or LF becomes CR LF, as browsers send a text area's lines.
        if (byte == '\r' || byte == '\n') {
            out += "%0D%0A";
            if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
            || byte == '*' || byte == '-' || byte == '.' || byte == '_') {
            out += static_cast<char>(byte);
        } else if (byte == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
}

std::string decode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

std::string EncodeFormPost(const std::vector<FormPair>& pairs)
{
    std::string out;
    for (const FormPair& pair : pairs) {
        if (!out.empty())
            out += '&';
        encode(out, pair.name);
        out += '=';
        encode(out, pair.value);
    }
    return out;
}

std::vector<FormPair> DecodeFormPost(std::string_view posted)
{
    std::vector<FormPair> pairs;
    while (!posted.empty()) {
        const std::size_t end = posted.find('&');
        const std::string_view pair = posted.substr(0, end);
        if (!pair.empty()) {
            const std::size_t equals = pair.find('=');
            pairs.push_back({ decode(pair.substr(0, equals)),
                equals == std::string_view::npos ? std::string() : decode(pair.substr(equals + 1)) });
        }
        if (end == std::string_view::npos)
            break;
        posted.remove_prefix(end + 1);
    }
    return pairs;
}

FormAction ActionOf(const std::vector<FormPair>& pairs)
{
    for (auto pair = pairs.rbegin(); pair != pairs.rend(); ++pair) {
        if (strcasecmp(pair->name.c_str(), "submit") != 0)
            continue;
        if (strcasecmp(pair->value.c_str(), "ok") == 0)
            return FormAction::Create;
        if (strcasecmp(pair->value.c_str(), "modify") == 0)
            return FormAction::Modify;
        return FormAction::Close;
    }
    return FormAction::NoSubmit;
}
