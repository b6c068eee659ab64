// Encode and decode together (integers, tags and lengths at every octet
// boundary), and ber_get_next reading messages that arrive in pieces.
#include "ldap/Ber.h"
#include "ldap/OrnAlloc.h"
#include "ldap/OrnState.h"
#include "tests/support/BerWriter.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

// ber_get_next only reads its source.
BerSource sourceOf(const Bytes& bytes, std::size_t from, std::size_t to)
{
    BerSource source {};
    source.tag = BER_ERROR;
    source.buf = source.ptr = const_cast<uint8_t*>(bytes.data()) + from;
    source.end = source.buf + (to - from);
    return source;
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
        Reader reader(writer.bytes());
        EXPECT_EQ(toHex(reader.data), toHex(element(0x02, contents) + element(0x0A, contents)));
        int32_t integer = 0, enumerated = 0;
        EXPECT_EQ(reader.codec.ber_scanf(&reader.ber, "ie", &integer, &enumerated), 0x0Au);
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
        Reader reader(writer.bytes());
        EXPECT_EQ(toHex(reader.data), toHex(hex(test.octets) + hex("00")));
        uint32_t tag = 0;
        EXPECT_EQ(reader.codec.ber_scanf(&reader.ber, "T", &tag), test.tag);
        EXPECT_EQ(tag, test.tag);
        reader.ber.ptr = reader.ber.buf;
        EXPECT_EQ(reader.codec.ber_get_tag(&reader.ber), test.tag);
        EXPECT_EQ(reader.ber.ptr + 1, reader.ber.end);
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
        { 16777215, "83 FF FF FF", "84 00 FF FF FF" },
        { 16777216, "84 01 00 00 00", "84 01 00 00 00" },
    };
    for (const LengthCase& test : cases) {
        const Bytes contents = pattern(test.length);
        for (uint8_t options : { BER_MINIMAL_LENGTHS, uint8_t { 0 } }) {
            SCOPED_TRACE("length " + std::to_string(test.length) + " options " + std::to_string(options));
            const Bytes constructedLength = hex(options ? test.minimal : test.full);
            uint32_t length = 0;

            Writer primitive(options);
            ASSERT_NE(primitive.codec.ber_put_ostring(primitive.ber, contents.data(), test.length, BER_ERROR), -1);
            Reader reader(primitive.bytes());
            EXPECT_TRUE(reader.data == hex("04") + hex(test.minimal) + contents);
            EXPECT_EQ(reader.codec.ber_skip_tag(&reader.ber, &length), 0x04u);
            EXPECT_EQ(length, test.length);

            Writer constructed(options);
            ASSERT_EQ(constructed.codec.ber_start_seq(constructed.ber, BER_ERROR), 0);
            ASSERT_EQ(constructed.codec.ber_write(constructed.ber, contents.data(), test.length, 0),
                static_cast<int32_t>(test.length));
            ASSERT_EQ(constructed.codec.ber_put_seq(constructed.ber),
                static_cast<int32_t>(1 + constructedLength.size() + test.length));
            EXPECT_TRUE(constructed.bytes() == hex("30") + constructedLength + contents);

            Writer nested(options);
            ASSERT_NE(nested.codec.ber_printf(nested.ber, "{t{", 0xA1u), -1);
            ASSERT_NE(nested.codec.ber_write(nested.ber, contents.data(), test.length, 0), -1);
            ASSERT_NE(nested.codec.ber_printf(nested.ber, "}}"), -1);
            Reader outer(nested.bytes());
            ASSERT_EQ(outer.codec.ber_skip_tag(&outer.ber, &length), 0x30u);
            EXPECT_EQ(outer.ber.ptr + length, outer.ber.end);
            EXPECT_TRUE(Bytes(outer.ber.ptr, outer.ber.end) == hex("A1") + constructedLength + contents);
        }
    }
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

// Presents the message in pieces that end at the cuts, each starting where
// the source was left. Until the last piece every call needs more and takes
// a header whole or not at all. With failing set, that allocation fails and
// the call, repeated, goes on; failures counts the calls that said so.
void expectPiecewise(
    const Message& message, const std::vector<std::size_t>& cuts, long failing = -1, int* failures = nullptr)
{
    BerCodec codec;
    BerBuffer* ber = codec.ber_alloc(0);
    ornFailAllocationAt(failing);
    uint32_t length = 0;
    uint32_t tag = BER_ERROR;
    std::size_t taken = 0;
    for (std::size_t cut : cuts) {
        BerSource source = sourceOf(message.bytes, taken, cut);
        tag = codec.ber_get_next(&source, &length, ber);
        if (tag == BER_ERROR && codec.next_status == BerNext::NoMemory && failures) {
            ++*failures;
            EXPECT_EQ(source.ptr, source.buf);
            tag = codec.ber_get_next(&source, &length, ber);
        }
        taken = static_cast<std::size_t>(source.ptr - message.bytes.data());
        if (cut < message.bytes.size()) {
            EXPECT_EQ(tag, BER_ERROR);
            EXPECT_EQ(codec.next_status, BerNext::NeedMore);
            EXPECT_EQ(taken, cut < message.header ? 0 : cut);
            EXPECT_EQ(ber->fill != nullptr, cut >= message.header);
        }
    }
    ornFailAllocationAt(-1);
    // ber holds the whole element and reads its contents.
    EXPECT_EQ(tag, message.tag);
    EXPECT_EQ(codec.next_status, BerNext::Message);
    EXPECT_EQ(taken, message.bytes.size());
    EXPECT_EQ(length, message.bytes.size() - message.header);
    EXPECT_EQ(ber->len, length);
    EXPECT_EQ(ber->fill, nullptr);
    EXPECT_EQ(ber->ptr, ber->buf + message.header);
    EXPECT_EQ(Bytes(ber->buf, ber->end), message.bytes);
    codec.ber_free(ber, 1);
}

} // namespace

TEST(BerGetNext, WholeSplitAtEveryOffsetAndByteByByte)
{
    for (const Message& message : messages()) {
        for (const std::vector<std::size_t>& cuts : piecewise(message.bytes.size())) {
            SCOPED_TRACE(std::string(message.name) + " cut at " + ::testing::PrintToString(cuts));
            expectPiecewise(message, cuts);
        }
    }
}

// A length of almost 4 GiB costs only what has arrived of it. The area
// doubles as pieces come, never past twice what arrived, so four megabytes
// in 4 KiB pieces take a dozen allocations rather than a thousand copies.
TEST(BerGetNext, HostileLengthAllocatesOnlyWhatArrived)
{
    Bytes bytes = hex("30 84 FF FF FF F9") + pattern(4 * 1024 * 1024);
    BerCodec codec;
    BerBuffer* ber = codec.ber_alloc(0);
    const int32_t before = MallocCount.load();
    uint32_t length = 0;
    for (std::size_t taken = 0, arrived = 10; taken < bytes.size(); arrived = std::min(arrived + 4096, bytes.size())) {
        BerSource source = sourceOf(bytes, taken, arrived);
        ASSERT_EQ(codec.ber_get_next(&source, &length, ber), BER_ERROR);
        ASSERT_EQ(codec.next_status, BerNext::NeedMore);
        taken = arrived;
        ASSERT_EQ(length, 0xFFFFFFF9u);
        ASSERT_EQ(static_cast<std::size_t>(ber->fill - ber->buf), arrived);
        ASSERT_LE(static_cast<std::size_t>(ber->end - ber->buf), 2 * arrived);
    }
    EXPECT_LE(MallocCount.load() - before, 12);
    EXPECT_TRUE(Bytes(ber->buf, ber->fill) == bytes);
    codec.ber_free(ber, 1);
}

TEST(BerGetNext, HeadersThatStartNoRead)
{
    struct HeaderCase {
        const char* bytes;
        BerNext status;
        std::size_t taken;
    };
    const HeaderCase cases[] = {
        { "", BerNext::NeedMore, 0 }, { "30", BerNext::NeedMore, 0 }, { "30 84 00 00", BerNext::NeedMore, 0 },
        { "7F 81", BerNext::NeedMore, 0 }, { "30 00", BerNext::Empty, 2 }, { "30 80 02 01 07", BerNext::Empty, 2 },
        { "30 85", BerNext::NotBer, 0 }, // refused before its length octets come
        { "30 85 00 00 00 00 01 00", BerNext::NotBer, 0 }, { "1F 81 82 83 00 01 00", BerNext::NotBer, 0 },
        { "30 84 FF FF FF FA 00", BerNext::NotBer, 0 }, // six octets more than 32 bits hold
    };
    for (const HeaderCase& test : cases) {
        SCOPED_TRACE(test.bytes);
        Bytes bytes = hex(test.bytes);
        BerSource source = sourceOf(bytes, 0, bytes.size());
        BerCodec codec;
        BerBuffer* ber = codec.ber_alloc(0);
        uint32_t length = 0;
        EXPECT_EQ(codec.ber_get_next(&source, &length, ber), BER_ERROR);
        EXPECT_EQ(codec.next_status, test.status);
        EXPECT_EQ(ber->fill, nullptr);
        EXPECT_EQ(ber->buf, nullptr);
        EXPECT_EQ(static_cast<std::size_t>(source.ptr - source.buf), test.taken);
        codec.ber_free(ber, 1);
    }
}

// Each allocation in turn fails while a message arrives in pieces: the
// call says so, and repeated with the same piece it goes on.
TEST(BerGetNext, AllocationFailureAtEveryStep)
{
    const Message message { "pieces", hex("30 82 01 00") + pattern(256), 0x30, 4 };
    long n = 0;
    for (int failed = 1; failed > 0; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        ASSERT_LT(n, 12);
        failed = 0;
        expectPiecewise(message, { 3, 10, 50, 200, message.bytes.size() }, n, &failed);
        EXPECT_LE(failed, 1);
    }
    EXPECT_GE(n, 3); // the area and its growth failed in turn
}
