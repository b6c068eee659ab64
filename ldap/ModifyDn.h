// Modify RDN requests (no new superior).
#pragma once

#include "ldap/Ber.h"

int32_t OrnModifyRdn(const char* dn, const char* new_rdn, int32_t delete_old_rdn, uint8_t options, BerBuffer** out,
                     int32_t msgid);
