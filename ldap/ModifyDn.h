// Modify DN requests: a new RDN and, when one is given, a new superior.
#pragma once

#include "ldap/Ber.h"

// new_superior: null (or left out) sends no newSuperior element, so the
// request keeps the bytes of a plain rename; otherwise the entry moves below
// that DN (LDAP version 3 only: a version 2 server refuses the element).
int32_t OrnModifyRdn(const char* dn, const char* new_rdn, int32_t delete_old_rdn, uint8_t options, BerBuffer** out,
                     int32_t msgid, const char* new_superior = nullptr);
