// The BER encoders and ber_printf: golden bytes, tag overrides, growth of the
// byte area, and allocation failure at every step.
#include "ldap/Ber.h"
#include "ldap/OrnAlloc.h"
#include "tests/support/BerWriter.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

char kA[] = "a";
char kB[] = "b";
char* kTwoStrings[] = { kA, kB, nullptr };
char* kNoStrings[] = { nullptr };
char kXy[] = { 'x', 0, 'y', 0 };
char kEmpty[] = "";
BerValue kValueXy { 3, kXy };
BerValue kValueEmpty { 0, kEmpty };
BerValue* kTwoValues[] = { &kValueXy, &kValueEmpty, nullptr };
const uint8_t kBits[] = { 0xAB, 0x80 };

// A ber_printf call with its own arguments, as a table row can hold it.
#define PRINT(...) [](BerCodec& c, BerBuffer* b) { return c.ber_printf(b, __VA_ARGS__); }

struct PrintfCase {
    const char* name;
    uint8_t options;
    int32_t (*print)(BerCodec&, BerBuffer*);
    int32_t result;
    const char* expected;
};

constexpr uint8_t kMin = BER_MINIMAL_LENGTHS;
constexpr uint8_t kFull = 0;

const PrintfCase kPrintfCases[] = {
    { "empty format", kMin, PRINT(""), 0, "" },
    { "empty sequence, minimal", kMin, PRINT("{}"), 2, "30 00" },
    { "empty sequence, full", kFull, PRINT("{}"), 6, "30 84 00 00 00 00" },
    { "open brace alone", kMin, PRINT("{"), 0, "" },
    { "int, tagged null", kMin, PRINT("{itn}", 5, 0x42u), 7, "30 05 02 01 05 42 00" },
    { "nested, minimal", kMin, PRINT("{{i}}", 5), 7, "30 05 30 03 02 01 05" },
    { "nested, full", kFull, PRINT("{{i}}", 5), 15, "30 84 00 00 00 09 30 84 00 00 00 03 02 01 05" },
    { "inner closed, outer open", kMin, PRINT("{{i}", 5), 5, "" },
    { "siblings after a closed inner element", kMin, PRINT("{i[s]i}", 1, "a", 2), 13,
        "30 0B 02 01 01 31 03 04 01 61 02 01 02" },
    { "booleans", kMin, PRINT("bbb", 1, 0, 7), 3, "01 01 FF 01 01 00 01 01 FF" },
    { "enumerated", kMin, PRINT("ee", 2, -1), 3, "0A 01 02 0A 01 FF" },
    { "null", kMin, PRINT("n"), 2, "05 00" },
    { "octets keep an inner zero", kMin, PRINT("o", kXy, 3u), 5, "04 03 78 00 79" },
    { "no octets", kMin, PRINT("o", nullptr, 0u), 2, "04 00" },
    { "strings", kMin, PRINT("ss", "hi", ""), 2, "04 02 68 69 04 00" },
    { "bit strings", kMin, PRINT("BBBB", kBits, 0u, kBits, 3u, kBits, 9u, kBits, 16u), 5,
        "03 01 00 03 02 05 AB 03 03 07 AB 80 03 03 00 AB 80" },
    { "set", kMin, PRINT("[ss]", "a", "b"), 8, "31 06 04 01 61 04 01 62" },
    { "brackets and braces close alike", kMin, PRINT("{[]}"), 4, "30 02 31 00" },
    { "t changes only the next sequence", kMin, PRINT("t{i}{i}", 0xA0u, 1, 2), 5, "A0 03 02 01 01 30 03 02 01 02" },
    { "t gives every string of a list the tag", kMin, PRINT("tvs", 0x80u, kTwoStrings, "c"), 3,
        "80 01 61 80 01 62 04 01 63" },
    { "t gives every value of a list the tag", kMin, PRINT("tV", 0x81u, kTwoValues), 2, "81 03 78 00 79 81 00" },
    { "t applies to one primitive", kMin, PRINT("tin", 0x81u, 3), 2, "81 01 03 05 00" },
    { "t on a set", kMin, PRINT("t[s]", 0x63u, "a"), 5, "63 03 04 01 61" },
    { "t inside a tagged sequence", kMin, PRINT("t{tb}", 0x60u, 0x87u, 1), 5, "60 03 87 01 FF" },
    { "t does not outlive its call", kMin,
        [](BerCodec& c, BerBuffer* b) { return c.ber_printf(b, "ti", 0x81u, 1) + c.ber_printf(b, "i", 2); }, 6,
        "81 01 01 02 01 02" },
    { "second t wins", kMin, PRINT("tti", 0x81u, 0x82u, 3), 3, "82 01 03" },
    { "four-octet tag", kMin, PRINT("ts", 0x7F818201u, "a"), 6, "7F 81 82 01 01 61" },
    { "null string list", kMin, PRINT("v", nullptr), 0, "" },
    { "empty string list", kMin, PRINT("{v}", kNoStrings), 2, "30 00" },
    { "null value list", kMin, PRINT("{V}", nullptr), 2, "30 00" },
    { "unknown character", kMin, PRINT("i i", 1, 2), -1, "02 01 01" },
    { "close with nothing open", kMin, PRINT("i}", 1), -1, "02 01 01" },
};

} // namespace

TEST(BerPrintf, GoldenBytes)
{
    for (const PrintfCase& test : kPrintfCases) {
        SCOPED_TRACE(test.name);
        Writer writer(test.options);
        EXPECT_EQ(test.print(writer.codec, writer.ber), test.result);
        EXPECT_EQ(toHex(writer.bytes()), toHex(hex(test.expected)));
    }
}

// A 4-octet tag with a 5-octet length and the unused-bits octet is the
// longest header any primitive has: ten octets.
TEST(BerEncode, LongestBitStringHeader)
{
    const std::vector<uint8_t> bits(0x1000000, 0x5A);
    Writer writer;
    ASSERT_EQ(writer.codec.ber_put_bitstring(writer.ber, bits.data(), 8 * 0x1000000u - 3, 0x7F818201u), 10 + 0x1000000);
    const Bytes written = writer.bytes();
    ASSERT_EQ(written.size(), 10u + 0x1000000);
    EXPECT_EQ(toHex(Bytes(written.begin(), written.begin() + 11)), toHex(hex("7F 81 82 01 84 01 00 00 01 03 5A")));
    EXPECT_EQ(written.back(), 0x5A);
}

TEST(BerEncode, AllocationFailureOfTheBufferRecord)
{
    BerCodec codec;
    ornFailAllocationAt(0);
    EXPECT_EQ(codec.ldap_alloc_ber_with_options(0), nullptr);
    EXPECT_EQ(codec.error_number, 90);
    BerBuffer* ber = codec.ldap_alloc_ber_with_options(BER_MINIMAL_LENGTHS);
    ASSERT_NE(ber, nullptr);
    EXPECT_EQ(ber->tag, BER_ERROR);
    EXPECT_EQ(ber->options, BER_MINIMAL_LENGTHS);
    EXPECT_EQ(ber->buf, nullptr);
    codec.ber_free(ber, 1);
}

// Each row: the sizes written one after another, and the area's size after each.
TEST(BerGrow, WholeBlocks)
{
    struct GrowCase {
        std::vector<uint32_t> writes;
        std::vector<std::size_t> capacities;
    };
    const GrowCase cases[] = {
        { { 1 }, { 1024 } },
        { { 1024 }, { 1024 } },
        { { 1025 }, { 2048 } },
        { { 3000 }, { 3072 } },
        { { 1000, 24 }, { 1024, 1024 } },
        { { 1000, 25 }, { 1024, 2048 } },
        { { 1000, 3000 }, { 1024, 4096 } },
        { { 2048, 1 }, { 2048, 3072 } },
        { { 1024, 1024, 1024 }, { 1024, 2048, 3072 } },
    };
    for (const GrowCase& test : cases) {
        Writer writer;
        Bytes expected;
        for (std::size_t i = 0; i < test.writes.size(); ++i) {
            SCOPED_TRACE("write " + std::to_string(i) + " of case starting " + std::to_string(test.writes[0]));
            const Bytes chunk(test.writes[i], static_cast<uint8_t>(i + 1));
            ASSERT_EQ(writer.codec.ber_write(writer.ber, chunk.data(), test.writes[i], 0),
                static_cast<int32_t>(test.writes[i]));
            EXPECT_EQ(writer.capacity(), test.capacities[i]);
            expected = expected + chunk;
        }
        EXPECT_EQ(writer.bytes(), expected);
    }
}

// Open elements reserve their header room when opened; at the end of a block
// that room, and the contents after it, lie beyond the current area.
TEST(BerGrow, ElementsOpenedAtTheEndOfABlock)
{
    const std::string text(20, 't');
    for (uint8_t options : { kMin, kFull }) {
        for (uint32_t prefix = 1000; prefix <= 1040; ++prefix) {
            SCOPED_TRACE("prefix " + std::to_string(prefix) + " options " + std::to_string(options));
            Writer writer(options);
            const Bytes filler(prefix, 0xEE);
            ASSERT_EQ(writer.codec.ber_write(writer.ber, filler.data(), prefix, 0), static_cast<int32_t>(prefix));
            ASSERT_NE(writer.codec.ber_printf(writer.ber, "{t{s}}", 0x7F818201u, text.c_str()), -1);
            const Bytes header = options ? hex("30 1B 7F 81 82 01 16 04 14")
                                         : hex("30 84 00 00 00 1F 7F 81 82 01 84 00 00 00 16 04 14");
            EXPECT_EQ(toHex(writer.bytes()), toHex(filler + header + Bytes(text.begin(), text.end())));
        }
    }
}

TEST(BerGrow, OpenElementsFollowTheMovingArea)
{
    const std::string first(1500, 'f');
    const std::string second(3000, 's');
    Writer writer;
    ASSERT_NE(writer.codec.ber_printf(writer.ber, "{s[s{s}]}", first.c_str(), second.c_str(), first.c_str()), -1);
    // 1504 + (4 + 3004 + (4 + 1504)) = 6020 content bytes.
    EXPECT_EQ(writer.bytes(),
        hex("30 82 17 84 04 82 05 DC") + Bytes(1500, 'f') + hex("31 82 11 A0 04 82 0B B8") + Bytes(3000, 's')
            + hex("30 82 05 E0 04 82 05 DC") + Bytes(1500, 'f'));
    EXPECT_EQ(writer.capacity(), 6 * 1024u);
}

// Every allocation of a nested ber_printf fails in turn; each failed buffer
// is freed with its open elements, and the first run that succeeds writes
// the same bytes as an undisturbed one.
TEST(BerPrintf, AllocationFailureAtEveryStep)
{
    const std::string big(3000, 'g');
    const uint8_t octets[] = { 1, 2, 3 };
    auto print = [&](BerCodec& codec, BerBuffer* ber) {
        return codec.ber_printf(ber, "{it{s[vV]}o}", 7, 0xA3u, big.c_str(), kTwoStrings, kTwoValues, octets, 3u);
    };
    Bytes golden;
    {
        Writer writer;
        ASSERT_NE(print(writer.codec, writer.ber), -1);
        golden = writer.bytes();
    }
    int failures = 0;
    for (long n = 0;; ++n) {
        ASSERT_LT(n, 100);
        BerCodec codec;
        ornFailAllocationAt(n);
        BerBuffer* ber = codec.ber_alloc(BER_MINIMAL_LENGTHS);
        const int32_t result = ber ? print(codec, ber) : -1;
        ornFailAllocationAt(-1);
        if (result == -1) {
            ++failures;
            codec.ber_free(ber, 1);
            continue;
        }
        EXPECT_EQ(Bytes(ber->buf, ber->ptr), golden);
        codec.ber_free(ber, 1);
        break;
    }
    // The record, three open elements and at least two growths.
    EXPECT_GE(failures, 6);
}
