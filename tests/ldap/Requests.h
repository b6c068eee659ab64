// Request encoders as the tests call them: bound to their arguments, and
// read back as the bytes the transport would send.
#pragma once

#include "ldap/Ber.h"
#include "ldap/OrnState.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <functional>

using Encode = std::function<int32_t(BerBuffer**)>;

// Encoders refuse while the process-wide state says a receive thread has
// ended, as any earlier test with a connection leaves it.
template <class Row>
class RequestTable : public testing::TestWithParam<Row> {
protected:
    void SetUp() override { ResetLibraryState(); }
};

// A table row's encoder: out is the buffer the request is written to.
#define ENCODE(...) [](BerBuffer** out) { return __VA_ARGS__; }

// len bytes from fill; the buffer is freed.
inline Bytes sent(BerBuffer* ber)
{
    EXPECT_EQ(ber->fill, ber->buf);
    const Bytes bytes(ber->fill, ber->fill + ber->len);
    BerCodec().ber_free(ber, 1);
    return bytes;
}

// The request, or nothing and a failure when the encoder refuses it.
inline Bytes encoded(const Encode& encode)
{
    BerBuffer* out = nullptr;
    EXPECT_EQ(encode(&out), 0);
    if (!out)
        return {};
    return sent(out);
}
