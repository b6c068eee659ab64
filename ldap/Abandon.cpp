#include "ldap/Abandon.h"

#include "ldap/RequestEncoding.h"

namespace {
constexpr uint32_t kAbandonRequest = 0x50; // [APPLICATION 16], primitive
} // namespace

// AbandonRequest ::= [APPLICATION 16] MessageID
int32_t ornAbandon(uint8_t options, BerBuffer** out, int32_t msgid, int32_t abandon_id)
{
    const RequestFailures failures { .threadEnded = "Abandon:ornAbandon: Error:",
        .noBuffer = "Abandon:ornAbandon:Error:" };
    return encodeRequest(failures, options, out, [&](BerCodec& codec, BerBuffer* ber) -> const char* {
        if (codec.ber_printf(ber, "{iti}", msgid, kAbandonRequest, abandon_id) == -1)
            return "Abandon:ornAbandon() Error:";
        return nullptr;
    });
}
