// The BER element decoders and ber_scanf: every format character, reads that
// would leave the message or the entered element, and the reclamation of
// outputs after a failure, by bad data or by a failed allocation.
#include "ldap/Ber.h"
#include "ldap/OrnAlloc.h"
#include "tests/support/BerWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

namespace {

// ber_scanf's allocated outputs, freed with the test's hold on them.
struct Taken {
    Taken() = default;
    Taken(const Taken&) = delete;
    Taken& operator=(const Taken&) = delete;
    ~Taken()
    {
        BerCodec codec;
        ornFree(text);
        codec.ber_bvfree(value);
        ornFree(record.bytes);
        ornFree(bits);
        ornFreeStrings(strings);
        codec.ber_bvecfree(values);
    }
    // Nothing handed out, as after a failed call.
    bool none() const { return !text && !value && !record.bytes && !bits && !strings && !values; }

    char* text = nullptr;
    BerValue* value = nullptr;
    BerValue record {};
    uint8_t* bits = nullptr;
    uint32_t bitCount = 0;
    char** strings = nullptr;
    BerValue** values = nullptr;
};

} // namespace

TEST(BerDecode, Lengths)
{
    struct LengthCase {
        const char* header;
        uint32_t length; // BER_ERROR: the header is refused
    };
    const LengthCase cases[] = {
        { "04 00", 0 },
        { "04 7F", 127 },
        { "04 80", 0 },
        { "04 81 80", 128 },
        { "04 81 FF", 255 },
        { "04 82 01 00", 256 },
        { "04 82 FF FF", 65535 },
        { "04 83 01 00 00", 65536 },
        { "04 84 00 00 01 00", 256 },
        { "04 85 00 00 00 01 00", BER_ERROR },
        { "04 FF", BER_ERROR },
        { "04 81", BER_ERROR },
        { "04 84 00 00 01", BER_ERROR },
        { "04", BER_ERROR },
        { "", BER_ERROR },
    };
    for (const LengthCase& test : cases) {
        SCOPED_TRACE(test.header);
        const Bytes header = hex(test.header);
        Bytes message = header;
        if (test.length != BER_ERROR)
            message.resize(message.size() + test.length, 0x61);
        Reader reader(message);
        uint32_t length = 12345;
        EXPECT_EQ(reader.codec.ber_peek_tag(&reader.ber, &length), test.length == BER_ERROR ? BER_ERROR : 0x04u);
        EXPECT_EQ(reader.offset(), 0u);
        if (test.length == BER_ERROR)
            continue;
        EXPECT_EQ(length, test.length);
        EXPECT_EQ(reader.codec.ber_skip_tag(&reader.ber, &length), 0x04u);
        EXPECT_EQ(reader.offset(), header.size());
    }
}

TEST(BerDecode, TagsThatCannotBeRead)
{
    for (const char* bytes : { "", "1F", "3F 81", "7F 81 82", "1F 81 82 83 01" }) {
        SCOPED_TRACE(bytes);
        Reader reader(hex(bytes));
        EXPECT_EQ(reader.codec.ber_get_tag(&reader.ber), BER_ERROR);
        EXPECT_LE(reader.ber.ptr, reader.ber.end);
    }
}

TEST(BerDecode, Integers)
{
    struct IntCase {
        const char* bytes;
        bool ok;
        int32_t value;
    };
    const IntCase cases[] = {
        { "02 01 80", true, -128 },
        { "02 02 00 80", true, 128 },
        { "02 03 80 00 00", true, -8388608 },
        { "02 02 7F FF", true, 32767 },
        { "02 04 FF FF FF FF", true, -1 },
        { "02 00", true, 0 },
        { "0A 01 02", true, 2 }, // tags are not checked
        { "02 05 00 00 00 00 01", false, 0 },
        { "02 02 00", false, 0 },
        { "02", false, 0 },
        { "", false, 0 },
    };
    for (const IntCase& test : cases) {
        SCOPED_TRACE(test.bytes);
        Reader reader(hex(test.bytes));
        int32_t value = 99;
        const uint32_t tag = reader.codec.ber_get_int(&reader.ber, &value);
        EXPECT_EQ(tag != BER_ERROR, test.ok);
        if (test.ok) {
            EXPECT_EQ(value, test.value);
            EXPECT_EQ(reader.offset(), reader.data.size());
        }
        EXPECT_LE(reader.ber.ptr, reader.ber.end);
    }
}

TEST(BerDecode, StringIntoCallerBuffer)
{
    char buffer[100];
    for (uint32_t length : { 0u, 1u, 98u, 99u, 100u }) {
        SCOPED_TRACE(length);
        Bytes message { 0x04, static_cast<uint8_t>(length) };
        message.resize(2 + length, 'q');
        Reader reader(message);
        uint32_t size = sizeof buffer;
        const uint32_t tag = reader.codec.ber_get_stringb(&reader.ber, buffer, &size);
        if (length == 100) {
            EXPECT_EQ(tag, BER_ERROR);
            continue;
        }
        EXPECT_EQ(tag, 0x04u);
        EXPECT_EQ(size, length);
        EXPECT_EQ(std::string(buffer), std::string(length, 'q'));
    }
}

TEST(BerScanf, EveryFormatCharacter)
{
    Reader reader(element(0x30,
        hex("02 01 05  0A 01 02  01 01 FF  05 00  04 03 61 62 63  04 02 68 69"
            "04 03 78 79 7A  04 02 70 71  03 02 05 A0  80 01 77  A1 03 02 01 09"
            "31 06 04 01 61 04 01 62  31 06 04 01 63 04 01 64  31 00")));
    int32_t integer = 0, enumerated = 0, nested = 0;
    int boolean = 0;
    char buffer[8];
    uint32_t size = sizeof buffer;
    uint32_t peekedTag = 0, peekedLength = 0, skippedTag = 0;
    Taken out;
    auto& [text, value, record, bits, bitCount, strings, values] = out;
    char* sentinel[] = { nullptr };
    char** none = sentinel; // must become null

    const uint32_t result = reader.codec.ber_scanf(&reader.ber, "{iebnasOoBtlxTi{v}{V}[v]}", &integer, &enumerated,
        &boolean, &text, buffer, &size, &value, &record, &bits, &bitCount, &peekedTag, &peekedLength, &skippedTag,
        &nested, &strings, &values, &none);

    ASSERT_NE(result, BER_ERROR);
    EXPECT_EQ(result, 0x04u); // the last member of the last list read
    EXPECT_EQ(reader.offset(), reader.data.size());
    EXPECT_TRUE(reader.endRestored());
    EXPECT_EQ(integer, 5);
    EXPECT_EQ(enumerated, 2);
    EXPECT_EQ(boolean, -1);
    EXPECT_STREQ(text, "abc");
    EXPECT_STREQ(buffer, "hi");
    EXPECT_EQ(size, 2u);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->length, 3u);
    EXPECT_STREQ(value->bytes, "xyz");
    EXPECT_EQ(record.length, 2u);
    EXPECT_STREQ(record.bytes, "pq");
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[0], 0xA0);
    EXPECT_EQ(bitCount, 3u);
    EXPECT_EQ(peekedTag, 0x80u);
    EXPECT_EQ(peekedLength, 1u);
    EXPECT_EQ(skippedTag, 0xA1u);
    EXPECT_EQ(nested, 9);
    ASSERT_NE(strings, nullptr);
    EXPECT_STREQ(strings[0], "a");
    EXPECT_STREQ(strings[1], "b");
    EXPECT_EQ(strings[2], nullptr);
    ASSERT_NE(values, nullptr);
    EXPECT_STREQ(values[0]->bytes, "c");
    EXPECT_STREQ(values[1]->bytes, "d");
    EXPECT_EQ(values[2], nullptr);
    EXPECT_EQ(none, nullptr); // an empty set is no failure
}

TEST(BerScanf, EmptyFormatAndUnknownCharacter)
{
    Reader reader(hex("02 01 05"));
    EXPECT_EQ(reader.codec.ber_scanf(&reader.ber, ""), 0u);
    EXPECT_EQ(reader.offset(), 0u);
    int32_t value = 0;
    EXPECT_EQ(reader.codec.ber_scanf(&reader.ber, "i ", &value), BER_ERROR);
    EXPECT_EQ(value, 5);
}

// No read leaves the message, and inside "{...}" none leaves the element.
TEST(BerScanf, ReadsStayInsideTheirElement)
{
    struct BoundsCase {
        const char* name;
        const char* bytes;
        const char* format;
        bool ok;
    };
    const BoundsCase cases[] = {
        { "skip within the message", "04 01 61 02 01 03", "xi", true },
        { "skip past the message", "04 05 61", "x", false },
        { "skip past the entered element", "30 03 04 05 61 62 63 64 65", "{x}", false },
        { "string past the entered element", "30 03 04 05 61 62 63 64 65", "{i}", false },
        { "second member outside the element", "30 03 02 01 01 02 01 02", "{ii}", false },
        { "the message end returns after the brace", "30 03 02 01 01 02 01 02", "{i}i", true },
        { "nested elements", "30 08 30 03 02 01 01 02 01 02", "{{i}i}", true },
        { "inner element ends the outer", "30 05 30 03 02 01 01 02 01 02", "{{i}i}", false },
        { "element longer than the message", "30 05 02 01 01", "{i}", false },
        { "element ends inside a member header", "30 01 02 01 01", "{i}", false },
        { "null with contents", "05 01 00", "n", false },
        { "empty skip", "04 80 02 01 07", "xi", true },
    };
    for (const BoundsCase& test : cases) {
        SCOPED_TRACE(test.name);
        Reader reader(hex(test.bytes));
        int32_t values[3] = {};
        const uint32_t result = reader.codec.ber_scanf(&reader.ber, test.format, &values[0], &values[1], &values[2]);
        EXPECT_EQ(result != BER_ERROR, test.ok);
        EXPECT_TRUE(reader.endRestored());
        EXPECT_LE(reader.ber.ptr, reader.ber.end);
    }
}

TEST(BerScanf, Lists)
{
    char* noStrings[] = { nullptr };
    BerValue* noValues[] = { nullptr };
    for (const char* format : { "{v}", "{V}", "v", "V" }) {
        SCOPED_TRACE(format);
        const bool strings = std::strchr(format, 'v') != nullptr;
        const std::string thenInt = std::string(format) + "i";
        Reader empty(hex("31 00 02 01 07"));
        char** stringsOut = noStrings; // both must become null
        BerValue** valuesOut = noValues;
        int32_t after = 0;
        const uint32_t result = strings ? empty.codec.ber_scanf(&empty.ber, thenInt.c_str(), &stringsOut, &after)
                                        : empty.codec.ber_scanf(&empty.ber, thenInt.c_str(), &valuesOut, &after);
        EXPECT_EQ(result, 0x02u);
        EXPECT_EQ(strings ? static_cast<void*>(stringsOut) : static_cast<void*>(valuesOut), nullptr);
        EXPECT_EQ(after, 7);

        Reader two(hex("31 07 04 00 04 03 61 00 62"));
        if (strings) {
            ASSERT_EQ(two.codec.ber_scanf(&two.ber, format, &stringsOut), 0x04u);
            ASSERT_NE(stringsOut, nullptr);
            EXPECT_STREQ(stringsOut[0], "");
            EXPECT_STREQ(stringsOut[1], "a"); // a C string ends at the first zero
            EXPECT_EQ(stringsOut[2], nullptr);
            ornFreeStrings(stringsOut);
        } else {
            ASSERT_EQ(two.codec.ber_scanf(&two.ber, format, &valuesOut), 0x04u);
            ASSERT_NE(valuesOut, nullptr);
            EXPECT_EQ(valuesOut[0]->length, 0u);
            EXPECT_EQ(valuesOut[1]->length, 3u);
            EXPECT_EQ(std::memcmp(valuesOut[1]->bytes, "a\0b", 4), 0);
            EXPECT_EQ(valuesOut[2], nullptr);
            two.codec.ber_bvecfree(valuesOut);
        }
        EXPECT_EQ(two.offset(), two.data.size());
    }
}

// The data runs out at each character in turn: the call fails and every
// output made before it is freed and nulled (the leak checker sees the rest).
TEST(BerScanf, FailureAtEachPositionReclaimsOutputs)
{
    const char* elements[]
        = { "04 01 61", "04 01 62", "04 01 63", "03 02 05 A0", "31 03 04 01 64", "31 03 04 01 65", "02 01 07" };
    const std::size_t count = std::size(elements);
    for (std::size_t failAt = 0; failAt < count; ++failAt) {
        SCOPED_TRACE("failing element " + std::to_string(failAt));
        Bytes message;
        for (std::size_t i = 0; i < failAt; ++i)
            message = message + hex(elements[i]);
        Reader reader(message + hex("04 7F 00")); // longer than what is left

        Taken o;
        int32_t integer = 0;
        EXPECT_EQ(reader.codec.ber_scanf(&reader.ber, "aOoBvVi", &o.text, &o.value, &o.record, &o.bits, &o.bitCount,
                      &o.strings, &o.values, &integer),
            BER_ERROR);
        EXPECT_TRUE(o.none());
        EXPECT_EQ(o.record.length, 0u);
        EXPECT_EQ(o.bitCount, 0u);
        EXPECT_LE(reader.ber.ptr, reader.ber.end);
    }
}

// Every allocation of a ber_scanf with a, O, v, o, V and B fails in turn.
TEST(BerScanf, AllocationFailureAtEveryStep)
{
    Reader reader(element(0x30,
        hex("04 01 61  04 01 62  31 06 04 01 63 04 01 64  04 01 65"
            "31 06 04 01 66 04 01 67  03 02 05 A0")));
    int failures = 0;
    for (long n = 0;; ++n) {
        ASSERT_LT(n, 100);
        SCOPED_TRACE("allocation " + std::to_string(n));
        reader.ber.ptr = reader.ber.buf;
        Taken o;
        ornFailAllocationAt(n);
        const uint32_t result = reader.codec.ber_scanf(
            &reader.ber, "{aOvoVB}", &o.text, &o.value, &o.strings, &o.record, &o.values, &o.bits, &o.bitCount);
        ornFailAllocationAt(-1);
        EXPECT_TRUE(reader.endRestored());
        if (result == BER_ERROR) {
            ++failures;
            EXPECT_TRUE(o.none());
            continue;
        }
        EXPECT_STREQ(o.text, "a");
        EXPECT_STREQ(o.value->bytes, "b");
        EXPECT_STREQ(o.strings[1], "d");
        EXPECT_STREQ(o.record.bytes, "e");
        EXPECT_STREQ(o.values[1]->bytes, "g");
        EXPECT_EQ(o.bitCount, 3u);
        break;
    }
    // One per a, O, o and B, and two strings and two values at least.
    EXPECT_GE(failures, 10);
}
