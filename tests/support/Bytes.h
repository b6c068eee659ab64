// Byte strings for tests: hex text in, readable hex out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<uint8_t>;

// "30 05 02 01 05" -> bytes; blanks are ignored.
Bytes hex(std::string_view text);
// bytes -> "30 05 02 01 05", for readable failure messages.
std::string toHex(const Bytes& bytes);
