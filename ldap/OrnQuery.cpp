// Search and compare requests. The filter compiler is in OrnFilter.cpp.
#include "ldap/OrnQuery.h"

#include "ldap/OrnControl.h"
#include "ldap/RequestEncoding.h"

namespace {

constexpr uint32_t kSearchRequest = 0x63; // [APPLICATION 3]
constexpr uint32_t kCompareRequest = 0x6E; // [APPLICATION 14]

// A request that cannot be encoded comes back as success without a buffer;
// the operation layer reports the missing buffer as ORN_BER_ENCODE_ERROR.
constexpr RequestFailures failuresOf(const char* noBuffer)
{
    return RequestFailures { .threadEnded = nullptr, .noBuffer = noBuffer, .noBufferResult = 0, .notEncodedResult = 0 };
}

} // namespace

// SearchRequest ::= [APPLICATION 3] SEQUENCE {
//      baseObject      LDAPDN,
//      scope           ENUMERATED { baseObject (0), singleLevel (1), wholeSubtree (2) },
//      derefAliases    ENUMERATED { neverDerefAliases (0), derefInSearching (1),
//                                   derefFindingBaseObj (2), derefAlways (3) },
//      sizeLimit       INTEGER (0 ..  maxInt),
//      timeLimit       INTEGER (0 ..  maxInt),
//      typesOnly       BOOLEAN,
//      filter          Filter,
//      attributes      AttributeSelection }
// AttributeSelection ::= SEQUENCE OF selector LDAPString
// The request's controls follow the SearchRequest inside the LDAPMessage.
// key: i=messageID t=[APPLICATION 3] s=baseObject e=scope e=deref i=size i=time b=typesOnly v=attributes
int32_t OrnSearchExt(const char* base, const char* filter, char** attrs, int32_t types_only, int32_t scope,
    int32_t size_limit, int32_t time_limit, int32_t deref, OrnControl** controls, uint8_t options, BerBuffer** out,
    int32_t msgid)
{
    const char* baseDn = base ? base : "";
    const RequestFailures failures = failuresOf("OrnQuery:OrnSearch: Error allocating BER options:\n");
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        int typesOnly = types_only;
        // The message and the SearchRequest stay open for the filter.
        if (codec.ber_printf(
                ber, "{it{seeiib", msgid, kSearchRequest, baseDn, scope, deref, size_limit, time_limit, typesOnly)
            == -1)
            return "OrnQuery:OrnSearch: Error during ber_printf:\n";
        if (put_filter(codec, ber, filter) == -1)
            return "OrnQuery:OrnSearch: Error putting filter:\n";
        if (codec.ber_printf(ber, "{v}}", attrs) == -1 || ornPutControls(codec, ber, controls) == -1
            || codec.ber_printf(ber, "}") == -1)
            return "OrnQuery:OrnSearch: Error after ber_printf:\n";
        return nullptr;
    });
}

int32_t OrnSearch(const char* base, const char* filter, char** attrs, int32_t types_only, int32_t scope,
    int32_t size_limit, int32_t time_limit, int32_t deref, uint8_t options, BerBuffer** out, int32_t msgid)
{
    return OrnSearchExt(
        base, filter, attrs, types_only, scope, size_limit, time_limit, deref, nullptr, options, out, msgid);
}

// CompareRequest ::= [APPLICATION 14] SEQUENCE {
//      entry           LDAPDN,
//      ava             AttributeValueAssertion }
// AttributeValueAssertion ::= SEQUENCE { attributeDesc AttributeDescription,
//                                        assertionValue AssertionValue }
int32_t OrnCompare(const char* dn, const char* type, const char* value, uint8_t options, BerBuffer** out, int32_t msgid)
{
    const RequestFailures failures = failuresOf("OrnQuery:OrnCompare: Error allocating BER options:\n");
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        if (codec.ber_printf(ber, "{it{s{ss}}}", msgid, kCompareRequest, dn, type, value) == -1)
            return "OrnQuery:OrnCompare: Error during ber_printf:\n";
        return nullptr;
    });
}
