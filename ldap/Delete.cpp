#include "ldap/Delete.h"

#include "ldap/RequestEncoding.h"

namespace {
constexpr uint32_t kDelRequest = 0x4A; // [APPLICATION 10], primitive
constexpr const char* kError = "Delete:OrnDelete() Error:";
} // namespace

// DelRequest ::= [APPLICATION 10] LDAPDN
int32_t OrnDelete(const char* dn, uint8_t options, BerBuffer** out, int32_t msgid)
{
    const RequestFailures failures { .threadEnded = kError, .noBuffer = kError };
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        return codec.ber_printf(ber, "{its}", msgid, kDelRequest, dn) == -1 ? kError : nullptr;
    });
}
