#include "ldap/RequestEncoding.h"

#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"

namespace request_encoding {

int32_t admit(const RequestFailures& failures, BerBuffer** out)
{
    *out = nullptr;
    if (!IsRecvThreadExited())
        return 0;
    if (failures.threadEnded)
        ornTrace(failures.threadEnded);
    if (failures.recordThreadEnded)
        SetErrorNo(RECV_THREAD_TERMINATED);
    return failures.threadEndedResult;
}

BerBuffer* allocate(const RequestFailures& failures, BerCodec& codec, uint8_t options)
{
    BerBuffer* ber = codec.ldap_alloc_ber_with_options(options);
    if (!ber)
        ornTrace(failures.noBuffer);
    return ber;
}

int32_t finish(
    const RequestFailures& failures, BerCodec& codec, BerBuffer* ber, const char* failureText, BerBuffer** out)
{
    if (failureText) {
        ornTrace(failureText);
        codec.ber_free(ber, 1);
        return failures.notEncodedResult;
    }
    // The transport sends len bytes from fill.
    ber->fill = ber->buf;
    ber->len = static_cast<uint32_t>(ber->ptr - ber->fill);
    *out = ber;
    return 0;
}

} // namespace request_encoding
