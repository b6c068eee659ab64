#include "Ber.h"
#include "OrnAlloc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<uint8_t> bytesOf(const BerBuffer* ber)
{
    return {ber->buf, ber->ptr};
}
} // namespace

TEST(BerPrintf, NestedSequencesUnderMinimalLengths)
{
    BerCodec codec;
    BerBuffer* ber = codec.ber_alloc(BER_MINIMAL_LENGTHS);
    ASSERT_NE(codec.ber_printf(ber, "{itn}", 5, 0x42u), -1);
    EXPECT_EQ(bytesOf(ber), (std::vector<uint8_t>{0x30, 0x05, 0x02, 0x01, 0x05, 0x42, 0x00}));
    codec.ber_free(ber, 1);
}
