// The steps every request encoder shares: refuse when the receive thread has
// ended, allocate the buffer, run the encoder's ber_printf calls, and either
// hand the buffer out ready to send or free it and leave *out null.
//
// Internal to the request modules; the texts and results of each failure
// are the encoder's own, so callers see the codes they always saw.
#pragma once

#include "ldap/Ber.h"
#include "ldap/OrnCodes.h"

#include <cstdint>

struct RequestFailures {
    const char* threadEnded; // null: nothing is written
    int32_t threadEndedResult = RECV_THREAD_TERMINATED;
    bool recordThreadEnded = false; // leave RECV_THREAD_TERMINATED in ErrorNo as well
    const char* noBuffer;
    int32_t noBufferResult = MALLOC_ERROR;
    int32_t notEncodedResult = ORN_BER_ENCODE_ERROR;
};

namespace request_encoding {

// 0 when the request may be encoded, else the result to return.
int32_t admit(const RequestFailures& failures, BerBuffer** out);
// Null on allocation failure, after writing the failure text.
BerBuffer* allocate(const RequestFailures& failures, BerCodec& codec, uint8_t options);
// failureText is null when every ber_printf succeeded; otherwise it is
// written, the buffer is freed and the not-encoded result returned.
int32_t finish(
    const RequestFailures& failures, BerCodec& codec, BerBuffer* ber, const char* failureText, BerBuffer** out);

struct NoExtraCheck {
    int32_t operator()() const { return 0; }
};

} // namespace request_encoding

// encode(codec, ber) makes the encoder's ber_printf calls and returns null,
// or the text for the step that failed. extraCheck runs after the thread
// check and before allocation (bind refuses unsupported methods there);
// a non-zero result is returned as it is.
template <typename Encode, typename ExtraCheck = request_encoding::NoExtraCheck>
int32_t encodeRequest(
    const RequestFailures& failures, uint8_t options, BerBuffer** out, Encode&& encode, ExtraCheck&& extraCheck = {})
{
    if (int32_t refused = request_encoding::admit(failures, out); refused != 0)
        return refused;
    if (int32_t refused = extraCheck(); refused != 0)
        return refused;
    BerCodec codec;
    BerBuffer* ber = request_encoding::allocate(failures, codec, options);
    if (!ber)
        return failures.noBufferResult;
    return request_encoding::finish(failures, codec, ber, encode(codec, ber), out);
}
