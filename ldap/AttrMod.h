// One attribute of an add request, or one change of a modify request.
// Built and owned by the caller; the encoders only read it.
#pragma once

#include "ldap/Ber.h"

#include <cstdint>

constexpr int32_t ATTR_MOD_ADD = 0;
constexpr int32_t ATTR_MOD_DELETE = 1;
constexpr int32_t ATTR_MOD_REPLACE = 2;
constexpr int32_t ATTR_MOD_BVALUES = 0x80; // the values are BerValues, not strings

struct AttrMod {
    int32_t op;
    char* type;
    union {
        char** values;      // null-terminated strings, when ATTR_MOD_BVALUES is clear
        BerValue** bvalues; // null-terminated BerValues, when it is set
    };
};
