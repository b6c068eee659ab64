#include "ldap/ModifyDn.h"

#include "ldap/RequestEncoding.h"

namespace {
constexpr uint32_t kModDnRequest = 0x6C; // [APPLICATION 12]
constexpr const char* kError = "ModifyDn:OrnModifyRdn() Error:";
} // namespace

// ModifyDNRequest ::= [APPLICATION 12] SEQUENCE {
//      entry           LDAPDN,
//      newrdn          RelativeLDAPDN,
//      deleteoldrdn    BOOLEAN,
//      newSuperior     [0] LDAPDN OPTIONAL }   -- never sent
int32_t OrnModifyRdn(
    const char* dn, const char* new_rdn, int32_t delete_old_rdn, uint8_t options, BerBuffer** out, int32_t msgid)
{
    const RequestFailures failures { .threadEnded = kError, .noBuffer = kError };
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        int flag = delete_old_rdn;
        return codec.ber_printf(ber, "{it{ssb}}", msgid, kModDnRequest, dn, new_rdn, flag) == -1 ? kError : nullptr;
    });
}
