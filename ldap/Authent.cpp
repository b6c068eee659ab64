#include "ldap/Authent.h"

#include "ldap/OrnCodes.h"
#include "ldap/OrnTrace.h"
#include "ldap/RequestEncoding.h"

namespace {

constexpr uint32_t kBindRequest = 0x60; // [APPLICATION 0]
constexpr uint32_t kSimpleAuth = 0x80; // [0] simple
constexpr uint32_t kUnbindRequest = 0x42; // [APPLICATION 2]

int32_t refuseMethod(int32_t method)
{
    switch (method) {
    case LDAP_AUTH_SIMPLE_30:
        return 0;
    case LDAP_AUTH_KRBV41_30:
        ornTrace("Authent:Authentication LDAP_AUTH_KRBV41_30 currently not Supported \n");
        return ORN_AUTH_NOT_SUPPORTED;
    case LDAP_AUTH_KRBV42_30:
        ornTrace("Authent:Authentication LDAP_AUTH_KRBV42_30 currently not Supported \n");
        return ORN_AUTH_NOT_SUPPORTED;
    case LDAP_AUTH_SASL:
        ornTrace("Authent:Authentication SASL currently not Supported \n");
        return ORN_AUTH_NOT_SUPPORTED;
    default:
        ornTrace("Authent:DEFAULT CASE Error:\n");
        return ORN_UNKNOWN_AUTHENTICATION;
    }
}

} // namespace

// BindRequest ::= [APPLICATION 0] SEQUENCE {
//      version         INTEGER (1 ..  127),
//      name            LDAPDN,
//      authentication  AuthenticationChoice }
// AuthenticationChoice ::= CHOICE { simple [0] OCTET STRING, ... }
int32_t Authent::OrnBind(
    const char* dn, const char* password, int32_t method, uint8_t options, BerBuffer** out, int32_t msgid)
{
    if (msgid == ORN_INVALID_MSGID) {
        ornTrace("Authent:OrnBind() :Message Id is :\n");
        *out = nullptr;
        return INVALID_INPUT;
    }
    // A missing DN or password makes an anonymous bind.
    const char* name = dn ? dn : "";
    const char* secret = password ? password : "";
    const RequestFailures failures { .threadEnded = "Authent:OrnBind() Error:\n",
        .noBuffer = "Authent:Alloc_Ber() Error:\n" };
    return encodeRequest(
        failures, options, out,
        [&](BerCodec& codec, BerBuffer* ber) -> const char* {
            if (codec.ber_printf(ber, "{it{ists}}", msgid, kBindRequest, version_, name, kSimpleAuth, secret) == -1)
                return "Authent:Ber_Printf() Error:\n";
            return nullptr;
        },
        [method] { return refuseMethod(method); });
}

// UnbindRequest ::= [APPLICATION 2] NULL
int32_t Authent::OrnUnbind(uint8_t options, BerBuffer** out, int32_t msgid)
{
    // Unbind reports an ended receive thread through ErrorNo: its caller is
    // tearing the connection down and only wants to know that nothing was sent.
    const RequestFailures failures { .threadEnded = "Authent:OrnUnBind() Error:",
        .threadEndedResult = -1,
        .recordThreadEnded = true,
        .noBuffer = "Authent:Alloc_Ber() Error:" };
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        if (codec.ber_printf(ber, "{itn}", msgid, kUnbindRequest) == -1)
            return "Authent:Alloc_Ber() Error:";
        return nullptr;
    });
}
