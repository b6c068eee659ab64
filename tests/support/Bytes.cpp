#include "tests/support/Bytes.h"

#include <cstdio>
#include <stdexcept>

Bytes hex(std::string_view text)
{
    Bytes bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\n')
            continue;
        int nibble = c >= '0' && c <= '9' ? c - '0'
                     : c >= 'a' && c <= 'f' ? c - 'a' + 10
                     : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                            : -1;
        if (nibble < 0)
            throw std::invalid_argument("not a hex digit");
        if (high < 0) {
            high = nibble;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + nibble));
            high = -1;
        }
    }
    if (high >= 0)
        throw std::invalid_argument("odd number of hex digits");
    return bytes;
}

std::string toHex(const Bytes& bytes)
{
    std::string text;
    char octet[4];
    for (uint8_t b : bytes) {
        std::snprintf(octet, sizeof(octet), "%02X ", b);
        text += octet;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

Bytes pattern(std::size_t size, uint8_t first)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(first + i % 251);
    return bytes;
}

Bytes element(uint8_t tag, const Bytes& contents)
{
    Bytes length;
    for (std::size_t rest = contents.size(); rest > 0; rest >>= 8)
        length.insert(length.begin(), static_cast<uint8_t>(rest));
    if (contents.size() < 0x80)
        length = { static_cast<uint8_t>(contents.size()) };
    else
        length.insert(length.begin(), static_cast<uint8_t>(0x80 | length.size()));
    return Bytes { tag } + length + contents;
}

std::vector<std::vector<size_t>> piecewise(size_t size)
{
    std::vector<std::vector<size_t>> plays { { size }, {} };
    for (size_t cut = 1; cut < size; ++cut) {
        plays.push_back({ cut, size });
        plays[1].push_back(cut);
    }
    plays[1].push_back(size);
    return plays;
}

std::string base64(std::string_view bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        uint32_t group = static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 16;
        if (at + 1 < bytes.size())
            group |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8;
        if (at + 2 < bytes.size())
            group |= static_cast<uint8_t>(bytes[at + 2]);
        for (std::size_t digit = 0; digit < 4; ++digit)
            out += at + digit <= bytes.size() ? kDigits[(group >> (18 - 6 * digit)) & 63] : '=';
    }
    return out;
}
