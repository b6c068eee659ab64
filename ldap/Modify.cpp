#include "ldap/Modify.h"

#include "ldap/RequestEncoding.h"

namespace {
constexpr uint32_t kModifyRequest = 0x66; // [APPLICATION 6]
constexpr const char* kError = "Modify:OrnModify() Error:";
} // namespace

// ModifyRequest ::= [APPLICATION 6] SEQUENCE {
//      object          LDAPDN,
//      changes         SEQUENCE OF change SEQUENCE {
//           operation       ENUMERATED { add (0), delete (1), replace (2) },
//           modification    PartialAttribute } }
// PartialAttribute ::= SEQUENCE { type AttributeDescription, vals SET OF AttributeValue }
int32_t OrnModify(const char* dn, AttrMod** mods, uint8_t options, BerBuffer** out, int32_t msgid)
{
    const RequestFailures failures { .threadEnded = kError, .noBuffer = kError };
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        if (codec.ber_printf(ber, "{it{s{", msgid, kModifyRequest, dn) == -1)
            return kError;
        for (AttrMod** mod = mods; mod && *mod; ++mod) {
            const AttrMod& m = **mod;
            const int32_t operation = m.op & ~ATTR_MOD_BVALUES;
            int32_t written = (m.op & ATTR_MOD_BVALUES)
                ? codec.ber_printf(ber, "{e{s[V]}}", operation, m.type, m.bvalues)
                : codec.ber_printf(ber, "{e{s[v]}}", operation, m.type, m.values);
            if (written == -1)
                return kError;
        }
        return codec.ber_printf(ber, "}}}") == -1 ? kError : nullptr;
    });
}
