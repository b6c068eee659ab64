// Abandon requests.
#pragma once

#include "ldap/Ber.h"

int32_t ornAbandon(uint8_t options, BerBuffer** out, int32_t msgid, int32_t abandon_id);
