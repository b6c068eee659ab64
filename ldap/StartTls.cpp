#include "ldap/StartTls.h"

#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/RequestEncoding.h"

namespace {
constexpr uint32_t kExtendedRequest = 0x77; // [APPLICATION 23], constructed
constexpr uint32_t kExtendedResponse = 0x78; // [APPLICATION 24], constructed
constexpr uint32_t kRequestName = 0x80; // [0], primitive
constexpr const char* kError = "StartTls:OrnStartTls() Error:";
} // namespace

// ExtendedRequest ::= [APPLICATION 23] SEQUENCE {
//      requestName      [0] LDAPOID,
//      requestValue     [1] OCTET STRING OPTIONAL }
int32_t OrnStartTls(int32_t msgid, uint8_t options, BerBuffer** out)
{
    const RequestFailures failures { .threadEnded = kError, .noBuffer = kError };
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        // i=messageID t{=ExtendedRequest ts=requestName
        return codec.ber_printf(ber, "{it{ts}}", msgid, kExtendedRequest, kRequestName, kStartTlsOid) == -1
            ? kError
            : nullptr;
    });
}

// ExtendedResponse ::= [APPLICATION 24] SEQUENCE {
//      COMPONENTS OF LDAPResult,
//      responseName     [10] LDAPOID OPTIONAL,
//      responseValue    [11] OCTET STRING OPTIONAL }
int32_t OrnStartTlsAnswer(const uint8_t* bytes, uint32_t count, int32_t msgid, int32_t* resultCode,
                          std::string* message)
{
    BerCodec codec;
    BerBuffer ber;
    codec.ber_init(&ber, 0);
    ber.buf = ber.ptr = const_cast<uint8_t*>(bytes); // only ever read
    ber.end = ber.buf + count;
    uint32_t length = 0;
    int32_t id = -1;
    if (codec.ber_skip_tag(&ber, &length) == BER_ERROR || length > static_cast<uint32_t>(ber.end - ber.ptr))
        return ORN_BER_DECODE_ERROR;
    ber.end = ber.ptr + length;
    if (codec.ber_get_int(&ber, &id) == BER_ERROR || (id != msgid && id != 0)
        || codec.ber_peek_tag(&ber, &length) != kExtendedResponse)
        return ORN_BER_DECODE_ERROR;
    int32_t code = 0;
    char* text = nullptr;
    // e=resultCode x=matchedDN a=diagnosticMessage
    if (codec.ber_scanf(&ber, "{exa", &code, &text) == BER_ERROR)
        return ORN_BER_DECODE_ERROR;
    *resultCode = code;
    *message = text ? text : "";
    ornFree(text);
    return 0;
}
