// Add requests.
#pragma once

#include "ldap/AttrMod.h"

int32_t OrnAdd(const char* dn, AttrMod** attrs, uint8_t options, BerBuffer** out, int32_t msgid);
