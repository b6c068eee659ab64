// The search window's filter: composed from an object class and up to three
// attribute conditions, and checked by the library's filter compiler before
// it is sent.
#pragma once

#include <array>
#include <string>

struct SearchCondition {
    std::string name;
    std::string value;
};

struct FilterParts {
    std::string objectClass;
    std::array<SearchCondition, 3> conditions;
    bool allOf = true; // the conditions joined with "&", else with "|"
};

// "(& (objectclass=C)(& (N1=V1)(N2=V2)(N3=V3)))": values are trimmed; a
// value that begins with ">" or "<" is written after the name without "=",
// so ">=5" beside age gives (age>=5); a condition with a blank name or
// value is left out. Without any attribute condition, and with a class
// that is not blank, the filter is the class condition alone.
std::string ComposeFilter(const FilterParts& parts);

// Whether the library's compiler turns the text into a filter; a refused
// filter would otherwise reach the search as an encoding failure.
bool FilterCompiles(const std::string& filter);
