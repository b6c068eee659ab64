#include "ldap/Add.h"

#include "ldap/OrnCodes.h"
#include "ldap/OrnTrace.h"
#include "ldap/RequestEncoding.h"

namespace {
constexpr uint32_t kAddRequest = 0x68; // [APPLICATION 8]
} // namespace

// AddRequest ::= [APPLICATION 8] SEQUENCE {
//      entry           LDAPDN,
//      attributes      AttributeList }
// AttributeList ::= SEQUENCE OF attribute Attribute
// Attribute ::= SEQUENCE { type AttributeDescription, vals SET OF AttributeValue }
int32_t OrnAdd(const char* dn, AttrMod** attrs, uint8_t options, BerBuffer** out, int32_t msgid)
{
    *out = nullptr;
    if (!dn) {
        ornTrace("Add:OrnAdd(): DN Null\n");
        return INVALID_INPUT;
    }
    if (!attrs || !attrs[0]) {
        ornTrace("Add:OrnAdd(): No attributes avalaible for adding \n");
        return INVALID_INPUT;
    }
    const RequestFailures failures { .threadEnded = "Add:OrnAdd() :CheckError: Recv thread Terminated\n",
        .noBuffer = "Add:OrnAdd(): Ber.ldap_alloc_ber_with_options: Malloc Error:\n" };
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        if (codec.ber_printf(ber, "{it{s{", msgid, kAddRequest, dn) == -1)
            return "Add:OrnAdd() : ber_printf:Encoding Error:\n";
        constexpr const char* kAttributeError = "Add:OrnAdd():ber_printf:Encoding Error:\n";
        for (AttrMod** attr = attrs; *attr; ++attr) {
            const AttrMod& a = **attr;
            int32_t written = (a.op & ATTR_MOD_BVALUES) ? codec.ber_printf(ber, "{s[V]}", a.type, a.bvalues)
                                                        : codec.ber_printf(ber, "{s[v]}", a.type, a.values);
            if (written == -1)
                return kAttributeError;
        }
        return codec.ber_printf(ber, "}}}") == -1 ? kAttributeError : nullptr;
    });
}
