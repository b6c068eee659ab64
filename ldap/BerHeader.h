// An element's identifier and length octets, read alike by the element
// decoders and by ber_get_next, which must tell a header cut short from one
// it will never read.
#pragma once

#include "ldap/Ber.h"

enum class BerHeader : uint8_t {
    Read, // ptr is on the first content octet
    Short, // the bytes end inside the header
    Bad, // a tag or a length of more than four octets
};

// Both move ptr over what they read, also when they fail.
BerHeader berReadHeader(BerBuffer* ber, uint32_t* tag, uint32_t* length);
uint32_t berReadTag(BerBuffer* ber);
