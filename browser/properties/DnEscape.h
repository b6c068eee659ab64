// Texts that become part of a DN the program sends.
#pragma once

#include <string>
#include <string_view>

// An attribute value as it stands in an RDN (RFC 4514, 2.4): a backslash
// before , + " \ < > ; before a leading # or blank and before a trailing
// blank; a zero byte becomes \00. Everything else is kept as it is.
std::string EscapeDnValue(std::string_view value);
