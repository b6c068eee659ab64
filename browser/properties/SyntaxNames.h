// What the attribute list says about a syntax: its display name, and
// whether its values are bytes rather than text.
#pragma once

#include <string>
#include <string_view>

// The display name of a schema syntax ("OID" or "OID{bound}"): the
// program's own name where it has one, else the standard name, followed by
// the length bound ("Telephone Number {32}"). An unknown OID stays as it is.
std::string SyntaxDisplayText(std::string_view syntax);

// Octet String, JPEG, Certificate, Binary and their kin: values that are
// bytes, never edited as text.
bool IsBinarySyntax(std::string_view syntax);
