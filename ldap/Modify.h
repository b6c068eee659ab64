// Modify requests.
#pragma once

#include "ldap/AttrMod.h"

int32_t OrnModify(const char* dn, AttrMod** mods, uint8_t options, BerBuffer** out, int32_t msgid);
