#include "ldap/ModifyDn.h"

#include "ldap/RequestEncoding.h"

namespace {
constexpr uint32_t kModDnRequest = 0x6C; // [APPLICATION 12]
constexpr uint32_t kNewSuperior = 0x80;  // [0], primitive
constexpr const char* kError = "ModifyDn:OrnModifyRdn() Error:";
} // namespace

// ModifyDNRequest ::= [APPLICATION 12] SEQUENCE {
//      entry           LDAPDN,
//      newrdn          RelativeLDAPDN,
//      deleteoldrdn    BOOLEAN,
//      newSuperior     [0] LDAPDN OPTIONAL }
int32_t OrnModifyRdn(const char* dn, const char* new_rdn, int32_t delete_old_rdn, uint8_t options, BerBuffer** out,
    int32_t msgid, const char* new_superior)
{
    const RequestFailures failures { .threadEnded = kError, .noBuffer = kError };
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        int flag = delete_old_rdn;
        // i=messageID t=[APPLICATION 12] s=entry s=newrdn b=deleteoldrdn
        if (codec.ber_printf(ber, "{it{ssb", msgid, kModDnRequest, dn, new_rdn, flag) == -1)
            return kError;
        // t=[0] s=newSuperior
        if (new_superior && codec.ber_printf(ber, "ts", kNewSuperior, new_superior) == -1)
            return kError;
        return codec.ber_printf(ber, "}}") == -1 ? kError : nullptr;
    });
}
