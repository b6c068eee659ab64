// Byte strings for tests: hex text in, readable hex out, base64 for LDIF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<uint8_t>;

// "30 05 02 01 05" -> bytes; blanks are ignored.
Bytes hex(std::string_view text);
// bytes -> "30 05 02 01 05", for readable failure messages.
std::string toHex(const Bytes& bytes);
Bytes operator+(Bytes left, const Bytes& right);
// size bytes counting up from first, with a zero byte every 251 when first is 0.
Bytes pattern(std::size_t size, uint8_t first = 0);
// A BER element of tag and contents with the minimal definite length.
Bytes element(uint8_t tag, const Bytes& contents);
// RFC 4648 base64, as LDIF's "name:: value" carries bytes.
std::string base64(std::string_view bytes);
// The ways a test feeds size bytes in pieces, each given by the ends of its
// pieces: whole, cut in two at every offset, and one byte at a time.
std::vector<std::vector<size_t>> piecewise(size_t size);
