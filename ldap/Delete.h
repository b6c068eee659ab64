// Delete requests.
#pragma once

#include "ldap/Ber.h"

int32_t OrnDelete(const char* dn, uint8_t options, BerBuffer** out, int32_t msgid);
