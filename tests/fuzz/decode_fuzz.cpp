// Any bytes as one received message: Decode must end in a status, never
// read outside the input, and leave nothing allocated but the entry or the
// controls it returns; the page control reader takes any controls.
#include "ldap/OrnQuery.h"
#include "ldap/io.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodedMessage message{};
    if (Decode(data, static_cast<uint32_t>(size), BER_MINIMAL_LENGTHS, &message) == 0 && message.entry) {
        char* dn = nullptr;
        if (OrnGetDn(message.entry, &dn) == 0 && dn)
            OrnFreeDn(dn);
        OrnCountEntries(message.entry);
        OrnFreeResult(message.entry);
    }
    int32_t estimate = 0;
    BerValue* cookie = nullptr;
    if (OrnParsePageControl(message.controls, &estimate, &cookie) == 0)
        BerCodec().ber_bvfree(cookie);
    OrnFreeControls(message.controls);
    return 0;
}
