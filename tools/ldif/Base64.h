// Base64 as LDIF uses it (RFC 4648 alphabet, with padding, no line breaks).
#pragma once

#include <optional>
#include <string>
#include <string_view>

void AppendBase64(std::string& out, std::string_view bytes);

// Blanks are skipped (a folded value may carry them); nothing for any other
// character outside the alphabet, or for padding in the wrong place.
std::optional<std::string> DecodeBase64(std::string_view text);
