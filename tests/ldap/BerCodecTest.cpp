// Encode and decode together (integers, tags and lengths at every octet
// boundary), and ber_get_next reading messages that arrive in pieces.
#include "Ber.h"
#include "BerWriter.h"
#include "Bytes.h"
#include "OrnAlloc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

// A reading buffer over bytes it does not own.
BerBuffer readerOf(Bytes& bytes)
{
    BerBuffer ber {};
    ber.tag = BER_ERROR;
    ber.buf = ber.ptr = bytes.data();
    ber.end = bytes.data() + bytes.size();
    return ber;
}

BerSource sourceOf(Bytes& bytes, std::size_t from, std::size_t to)
{
    BerSource source {};
    source.tag = BER_ERROR;
    source.buf = source.ptr = bytes.data() + from;
    source.end = bytes.data() + to;
    return source;
}

Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

Bytes pattern(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i % 251);
    return bytes;
}

} // namespace

TEST(BerRoundTrip, IntegersAtEveryOctetBoundary)
{
    struct IntCase {
        int32_t value;
        const char* contents;
    };
    const IntCase cases[] = {
        { 0, "00" },
        { 127, "7F" },
        { 128, "00 80" },
        { -1, "FF" },
        { -128, "80" },
        { -129, "FF 7F" },
        { 255, "00 FF" },
        { 256, "01 00" },
        { 32767, "7F FF" },
        { 32768, "00 80 00" },
        { -32768, "80 00" },
        { -32769, "FF 7F FF" },
        { 8388607, "7F FF FF" },
        { 8388608, "00 80 00 00" },
        { -8388609, "FF 7F FF FF" },
        { INT32_MAX, "7F FF FF FF" },
        { INT32_MIN, "80 00 00 00" },
    };
    for (const IntCase& test : cases) {
        SCOPED_TRACE(test.value);
        const Bytes contents = hex(test.contents);
        Writer writer;
        ASSERT_EQ(writer.codec.ber_printf(writer.ber, "ie", test.value, test.value),
            static_cast<int32_t>(2 + contents.size()));
        Bytes encoded = writer.bytes();
        const Bytes length { static_cast<uint8_t>(contents.size()) };
        EXPECT_EQ(toHex(encoded), toHex(Bytes { 0x02 } + length + contents + Bytes { 0x0A } + length + contents));

        BerBuffer reader = readerOf(encoded);
        int32_t integer = 0, enumerated = 0;
        EXPECT_EQ(writer.codec.ber_scanf(&reader, "ie", &integer, &enumerated), 0x0Au);
        EXPECT_EQ(integer, test.value);
        EXPECT_EQ(enumerated, test.value);
    }
}

TEST(BerRoundTrip, TagsOfOneToFourOctets)
{
    struct TagCase {
        uint32_t tag;
        const char* octets;
    };
    const TagCase cases[] = {
        { 0x04, "04" },
        { 0xA3, "A3" },
        { 0x9F22, "9F 22" },
        { 0x7F8102, "7F 81 02" },
        { 0xBF8122, "BF 81 22" },
        { 0x7F818201, "7F 81 82 01" },
        { 0xFF81817F, "FF 81 81 7F" },
    };
    for (const TagCase& test : cases) {
        SCOPED_TRACE(test.octets);
        Writer writer;
        ASSERT_NE(writer.codec.ber_printf(writer.ber, "tn", test.tag), -1);
        Bytes encoded = writer.bytes();
        EXPECT_EQ(toHex(encoded), toHex(hex(test.octets) + hex("00")));

        BerBuffer reader = readerOf(encoded);
        uint32_t tag = 0;
        EXPECT_EQ(writer.codec.ber_scanf(&reader, "T", &tag), test.tag);
        EXPECT_EQ(tag, test.tag);
        reader.ptr = reader.buf;
        EXPECT_EQ(writer.codec.ber_get_tag(&reader), test.tag);
        EXPECT_EQ(reader.ptr + 1, reader.end);
    }
}

// Each size is written as the contents of a primitive, of a constructed and
// of a constructed inside another, with both length forms, and read back.
TEST(BerRoundTrip, LengthsAtEveryOctetBoundary)
{
    struct LengthCase {
        uint32_t length;
        const char* minimal;
        const char* full;
    };
    const LengthCase cases[] = {
        { 0, "00", "84 00 00 00 00" },
        { 127, "7F", "84 00 00 00 7F" },
        { 128, "81 80", "84 00 00 00 80" },
        { 255, "81 FF", "84 00 00 00 FF" },
        { 256, "82 01 00", "84 00 00 01 00" },
        { 65535, "82 FF FF", "84 00 00 FF FF" },
        { 65536, "83 01 00 00", "84 00 01 00 00" },
    };
    for (const LengthCase& test : cases) {
        const Bytes contents = pattern(test.length);
        for (uint8_t options : { BER_MINIMAL_LENGTHS, uint8_t { 0 } }) {
            SCOPED_TRACE("length " + std::to_string(test.length) + " options " + std::to_string(options));
            const Bytes constructedLength = hex(options ? test.minimal : test.full);
            BerCodec codec;
            uint32_t length = 0;

            Writer primitive(options);
            ASSERT_NE(primitive.codec.ber_put_ostring(primitive.ber, contents.data(), test.length, BER_ERROR), -1);
            Bytes encoded = primitive.bytes();
            EXPECT_EQ(encoded, Bytes { 0x04 } + hex(test.minimal) + contents);
            BerBuffer reader = readerOf(encoded);
            EXPECT_EQ(codec.ber_skip_tag(&reader, &length), 0x04u);
            EXPECT_EQ(length, test.length);

            Writer constructed(options);
            ASSERT_EQ(constructed.codec.ber_start_seq(constructed.ber, BER_ERROR), 0);
            ASSERT_EQ(constructed.codec.ber_write(constructed.ber, contents.data(), test.length, 0),
                static_cast<int32_t>(test.length));
            ASSERT_EQ(constructed.codec.ber_put_seq(constructed.ber),
                static_cast<int32_t>(1 + constructedLength.size() + test.length));
            EXPECT_EQ(constructed.bytes(), Bytes { 0x30 } + constructedLength + contents);

            Writer nested(options);
            ASSERT_NE(nested.codec.ber_printf(nested.ber, "{t{", 0xA1u), -1);
            ASSERT_NE(nested.codec.ber_write(nested.ber, contents.data(), test.length, 0), -1);
            ASSERT_NE(nested.codec.ber_printf(nested.ber, "}}"), -1);
            encoded = nested.bytes();
            reader = readerOf(encoded);
            uint32_t outer = 0;
            ASSERT_EQ(codec.ber_skip_tag(&reader, &outer), 0x30u);
            EXPECT_EQ(reader.ptr + outer, reader.end);
            const auto innerStart = static_cast<std::size_t>(reader.ptr - reader.buf);
            EXPECT_EQ(Bytes(encoded.begin() + static_cast<long>(innerStart), encoded.end()),
                Bytes { 0xA1 } + constructedLength + contents);
        }
    }
}

TEST(BerRoundTrip, LengthsOfThreeAndFourOctets)
{
    const Bytes contents = pattern(16777216);
    BerCodec codec;
    uint32_t length = 0;

    Writer primitive;
    ASSERT_NE(primitive.codec.ber_put_ostring(primitive.ber, contents.data(), 16777215, BER_ERROR), -1);
    Bytes encoded = primitive.bytes();
    EXPECT_EQ(toHex(Bytes(encoded.begin(), encoded.begin() + 5)), "04 83 FF FF FF");
    EXPECT_EQ(encoded.size(), 5u + 16777215);
    BerBuffer reader = readerOf(encoded);
    EXPECT_EQ(codec.ber_skip_tag(&reader, &length), 0x04u);
    EXPECT_EQ(length, 16777215u);

    Writer constructed;
    ASSERT_EQ(constructed.codec.ber_start_seq(constructed.ber, BER_ERROR), 0);
    ASSERT_NE(constructed.codec.ber_write(constructed.ber, contents.data(), 16777216, 0), -1);
    ASSERT_EQ(constructed.codec.ber_put_seq(constructed.ber), 6 + 16777216);
    encoded = constructed.bytes();
    EXPECT_EQ(toHex(Bytes(encoded.begin(), encoded.begin() + 7)), "30 84 01 00 00 00 00");
    EXPECT_TRUE(std::equal(contents.begin(), contents.end(), encoded.begin() + 6));
    reader = readerOf(encoded);
    EXPECT_EQ(codec.ber_skip_tag(&reader, &length), 0x30u);
    EXPECT_EQ(length, 16777216u);
}

namespace {

struct Message {
    const char* name;
    Bytes bytes;
    uint32_t tag;
    std::size_t header;
};

std::vector<Message> messages()
{
    return {
        { "short", hex("30 03 02 01 07"), 0x30, 2 },
        { "three-octet tag", hex("7F 81 02 03 02 01 07"), 0x7F8102, 4 },
        { "one length octet", hex("30 81 80") + pattern(128), 0x30, 3 },
        { "four length octets", hex("61 84 00 00 01 00") + pattern(256), 0x61, 6 },
    };
}

void expectMessage(const Message& message, const BerBuffer* ber, uint32_t length)
{
    EXPECT_EQ(length, message.bytes.size() - message.header);
    EXPECT_EQ(ber->len, length);
    EXPECT_EQ(ber->tag, message.tag);
    EXPECT_EQ(ber->fill, nullptr);
    EXPECT_EQ(ber->ptr, ber->buf);
    EXPECT_EQ(Bytes(ber->ptr, ber->end),
        Bytes(message.bytes.begin() + static_cast<long>(message.header), message.bytes.end()));
}

} // namespace

TEST(BerGetNext, WholeMessage)
{
    Bytes bytes = hex("30 03 02 01 07 30 03 02 01 08");
    BerSource source = sourceOf(bytes, 0, bytes.size());
    BerCodec codec;
    for (int32_t expected : { 7, 8 }) {
        BerBuffer* ber = codec.ber_alloc(0);
        uint32_t length = 0;
        ASSERT_EQ(codec.ber_get_next(&source, &length, ber), 0x30u);
        EXPECT_EQ(length, 3u);
        int32_t value = 0;
        EXPECT_EQ(codec.ber_get_int(ber, &value), 0x02u);
        EXPECT_EQ(value, expected);
        codec.ber_free(ber, 1);
    }
    EXPECT_EQ(source.ptr, source.end);
}

// The first piece ends at every offset; what it leaves untaken (an incomplete
// header) comes again at the front of the second piece.
TEST(BerGetNext, SplitAtEveryOffset)
{
    for (Message& message : messages()) {
        const std::size_t size = message.bytes.size();
        for (std::size_t split = 0; split <= size; ++split) {
            SCOPED_TRACE(std::string(message.name) + " split at " + std::to_string(split));
            BerCodec codec;
            BerBuffer* ber = codec.ber_alloc(0);
            uint32_t length = 0;
            BerSource first = sourceOf(message.bytes, 0, split);
            const uint32_t tag = codec.ber_get_next(&first, &length, ber);
            if (split < message.header) {
                EXPECT_EQ(tag, BER_ERROR);
                EXPECT_EQ(first.ptr, first.buf);
                EXPECT_EQ(ber->fill, nullptr);
                EXPECT_EQ(ber->buf, nullptr);
            } else if (split < size) {
                EXPECT_EQ(tag, BER_ERROR);
                EXPECT_EQ(first.ptr, first.end);
                EXPECT_NE(ber->fill, nullptr);
            }
            if (split < size) {
                const auto taken = static_cast<std::size_t>(first.ptr - message.bytes.data());
                BerSource second = sourceOf(message.bytes, taken, size);
                ASSERT_EQ(codec.ber_get_next(&second, &length, ber), message.tag);
                EXPECT_EQ(second.ptr, second.end);
            } else {
                ASSERT_EQ(tag, message.tag);
            }
            expectMessage(message, ber, length);
            codec.ber_free(ber, 1);
        }
    }
}

TEST(BerGetNext, OneByteAtATime)
{
    for (Message& message : messages()) {
        SCOPED_TRACE(message.name);
        BerCodec codec;
        BerBuffer* ber = codec.ber_alloc(0);
        uint32_t length = 0;
        std::size_t taken = 0;
        uint32_t tag = BER_ERROR;
        for (std::size_t arrived = 1; arrived <= message.bytes.size(); ++arrived) {
            BerSource source = sourceOf(message.bytes, taken, arrived);
            tag = codec.ber_get_next(&source, &length, ber);
            taken = static_cast<std::size_t>(source.ptr - message.bytes.data());
            if (arrived < message.bytes.size()) {
                ASSERT_EQ(tag, BER_ERROR);
            }
        }
        ASSERT_EQ(tag, message.tag);
        expectMessage(message, ber, length);
        codec.ber_free(ber, 1);
    }
}

// A length of 4 GiB costs only what has arrived of it.
TEST(BerGetNext, HostileLengthAllocatesOnlyWhatArrived)
{
    Bytes bytes = hex("30 84 FF FF FF FF") + pattern(2000);
    BerCodec codec;
    BerBuffer* ber = codec.ber_alloc(0);
    uint32_t length = 0;
    BerSource source = sourceOf(bytes, 0, 10);
    ASSERT_EQ(codec.ber_get_next(&source, &length, ber), BER_ERROR);
    EXPECT_EQ(length, 0xFFFFFFFFu);
    EXPECT_EQ(ber->len, 0xFFFFFFFFu);
    EXPECT_EQ(ber->fill - ber->buf, 4);
    EXPECT_LE(ber->end - ber->buf, 4);

    std::size_t taken = 10;
    for (std::size_t arrived = 11; arrived <= 300; ++arrived) {
        source = sourceOf(bytes, taken, arrived);
        ASSERT_EQ(codec.ber_get_next(&source, &length, ber), BER_ERROR);
        taken = arrived;
        const std::size_t received = arrived - 6;
        EXPECT_EQ(static_cast<std::size_t>(ber->fill - ber->buf), received);
        EXPECT_EQ(static_cast<std::size_t>(ber->end - ber->buf), received);
    }
    source = sourceOf(bytes, taken, bytes.size());
    ASSERT_EQ(codec.ber_get_next(&source, &length, ber), BER_ERROR);
    EXPECT_EQ(static_cast<std::size_t>(ber->end - ber->buf), bytes.size() - 6);
    EXPECT_EQ(Bytes(ber->buf, ber->fill), Bytes(bytes.begin() + 6, bytes.end()));
    codec.ber_free(ber, 1);
}

TEST(BerGetNext, HeadersThatStartNoRead)
{
    struct HeaderCase {
        const char* bytes;
        bool positionKept; // an incomplete header stays in the source
    };
    const HeaderCase cases[] = {
        { "", true },
        { "30", true },
        { "30 84 00 00", true },
        { "7F 81", true },
        { "30 00", false },
        { "30 80 02 01 07", false },
        { "30 85 00 00 00 00 01 00", false },
        { "1F 81 82 83 00 01 00", false },
    };
    for (const HeaderCase& test : cases) {
        SCOPED_TRACE(test.bytes);
        Bytes bytes = hex(test.bytes);
        BerSource source = sourceOf(bytes, 0, bytes.size());
        BerCodec codec;
        BerBuffer* ber = codec.ber_alloc(0);
        uint32_t length = 0;
        EXPECT_EQ(codec.ber_get_next(&source, &length, ber), BER_ERROR);
        EXPECT_EQ(ber->fill, nullptr);
        EXPECT_EQ(ber->buf, nullptr);
        if (test.positionKept) {
            EXPECT_EQ(source.ptr, source.buf);
        }
        EXPECT_LE(source.ptr, source.end);
        codec.ber_free(ber, 1);
    }
}

// An allocation fails at each step in turn while a message arrives in
// pieces; the caller retries the same piece and still gets the message.
TEST(BerGetNext, AllocationFailureAtEveryStep)
{
    Message message { "pieces", hex("30 82 01 00") + pattern(256), 0x30, 4 };
    const std::size_t cuts[] = { 3, 10, 50, 200, message.bytes.size() };
    for (long n = 0; n < 12; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        BerCodec codec;
        BerBuffer* ber = codec.ber_alloc(0);
        ASSERT_NE(ber, nullptr);
        ornFailAllocationAt(n);
        uint32_t length = 0;
        uint32_t tag = BER_ERROR;
        std::size_t taken = 0;
        for (std::size_t cut : cuts) {
            BerSource source = sourceOf(message.bytes, taken, cut);
            tag = codec.ber_get_next(&source, &length, ber);
            if (tag == BER_ERROR)
                tag = codec.ber_get_next(&source, &length, ber);
            taken = static_cast<std::size_t>(source.ptr - message.bytes.data());
        }
        ornFailAllocationAt(-1);
        ASSERT_EQ(tag, message.tag);
        expectMessage(message, ber, length);
        codec.ber_free(ber, 1);
    }
}
