#include "ldap/Ber.h"
#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnQuery.h"
#include "ldap/OrnState.h"
#include "ldap/io.h"
#include "tests/ldap/LiveHeap.h"
#include "tests/ldap/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int32_t kUntouched = 0x5A5A5A5A;
EntryRecord* const kUntouchedEntry = reinterpret_cast<EntryRecord*>(alignof(EntryRecord) * 0x5A5A);

std::string printable(const std::string& bytes)
{
    if (bytes.size() > 64)
        return std::to_string(bytes.size()) + " bytes#" + std::to_string(std::hash<std::string>{}(bytes));
    std::string text;
    for (const char c : bytes) {
        char escaped[8];
        std::snprintf(escaped, sizeof(escaped), c >= 0x20 && c < 0x7F ? "%c" : "\\%02X", c & 0xFF);
        text += escaped;
    }
    return text;
}

std::string render(const Attrs& attrs)
{
    std::string text = "{";
    for (const auto& [type, values] : attrs) {
        text += " " + printable(type) + ":[";
        for (std::size_t i = 0; i < values.size(); ++i)
            text += (i ? "," : "") + printable(values[i]);
        text += "]";
    }
    return text + " }";
}

// Text of `length` counted bytes plus their terminator; BAD when the record
// breaks the model (kind, terminator).
std::string counted(int32_t kind, const char* text, int32_t length)
{
    if (kind != 4 || length < 1 || text[length - 1] != '\0')
        return "BAD";
    return {text, std::size_t(length - 1)};
}

std::string render(const EntryRecord* entry)
{
    if (!entry || entry == kUntouchedEntry)
        return entry ? "-" : "null";
    Attrs attrs;
    for (const AttrRecord* attr = entry->attrs; attr; attr = attr->next) {
        attrs.push_back({counted(attr->kind, attr->name, attr->name_len), {}});
        for (const ValueRecord* value = attr->values; value; value = value->next)
            attrs.back().second.push_back(counted(value->kind, value->data, value->len));
    }
    return (entry->end_of_search || entry->next ? "BAD" : "") + render(attrs);
}

std::string field(int32_t value, const char* format = "%d")
{
    char text[16];
    std::snprintf(text, sizeof(text), format, value);
    return value == kUntouched ? "-" : text;
}

// Decodes the first count bytes, exactly that many on the heap so that a
// read past them is caught, into a message filled with markers; renders
// the outcome and frees the entry. leaked: the heap the call left behind.
std::string decode(const Bytes& bytes, std::size_t count, long& leaked)
{
    DecodedMessage out{kUntouched, kUntouchedEntry, kUntouched, kUntouched, kUntouched, nullptr};
    const std::unique_ptr<uint8_t[]> message(count ? new uint8_t[count] : nullptr);
    std::copy_n(bytes.begin(), count, message.get());
    std::string text;
    text.reserve(4096); // the rendering must not count as a leak
    const std::size_t before = liveHeapBytes();
    const int32_t status = Decode(message.get(), uint32_t(count), BER_MINIMAL_LENGTHS, &out);
    text += std::to_string(status) + " msgid=" + field(out.msgid) + " op=" + field(out.op_tag, "%X") +
            " code=" + field(out.result_code) + " done=" + field(out.search_done) + " entry=" + render(out.entry);
    for (OrnControl** control = out.controls; control && *control; ++control)
        text += std::string(" control=") + (*control)->oid + ((*control)->critical ? "!" : "") + ":"
            + ((*control)->value.bytes ? toHex(Bytes((*control)->value.bytes,
                                               (*control)->value.bytes + (*control)->value.length))
                                       : "none");
    if (out.entry != kUntouchedEntry)
        OrnFreeResult(out.entry);
    OrnFreeControls(out.controls);
    leaked = long(liveHeapBytes()) - long(before);
    return text;
}

std::string decode(const Bytes& bytes)
{
    long leaked = 0;
    std::string text = decode(bytes, bytes.size(), leaked);
    EXPECT_EQ(leaked, 0) << text;
    return text;
}

std::string expectedEntry(int32_t msgid, const std::string& dn, Attrs attrs)
{
    if (!dn.empty())
        attrs.insert(attrs.begin(), {"dn", {dn}});
    return "0 msgid=" + std::to_string(msgid) + " op=64 code=0 done=0 entry=" + (attrs.empty() ? "null" : render(attrs));
}

std::string binary(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char(i * 7 % 251); // zero bytes every 251
    return bytes;
}

struct Golden {
    const char* name;
    Bytes bytes;
    std::string expected;
};

const std::vector<Golden>& goldens()
{
    static const std::vector<Golden> table = {
        {"bind", hex("30 0C 02 01 01 61 07 0A 01 00 04 00 04 00"), "0 msgid=1 op=61 code=0 done=0 entry=null"},
        {"bind refused", hex("30 0F 02 01 02 61 0A 0A 01 31 04 00 04 03 62 61 64"),
         "0 msgid=2 op=61 code=49 done=0 entry=null"},
        {"bind, long length form", hex("30 81 0C 02 01 01 61 07 0A 01 00 04 00 04 00"),
         "0 msgid=1 op=61 code=0 done=0 entry=null"},
        {"search done", hex("30 0F 02 01 03 65 0A 0A 01 20 04 03 6F 3D 78 04 00"),
         "0 msgid=3 op=65 code=32 done=1 entry=null"},
        // Only a search done's controls are kept; one that cannot be read drops them all.
        {"search done with a page control",
         hex("30 36 02 01 03 65 07 0A 01 00 04 00 04 00 A0 28 30 26 04 16 31 2E 32 2E 38 34 30 2E 31 31 33 35 35 36 2E"
             "31 2E 34 2E 33 31 39 04 0C 30 0A 02 02 09 C4 04 04 01 02 03 04"),
         "0 msgid=3 op=65 code=0 done=1 entry=null control=1.2.840.113556.1.4.319:30 0A 02 02 09 C4 04 04 01 02 03 04"},
        {"search done with a critical control without value",
         hex("30 42 02 01 03 65 07 0A 01 00 04 00 04 00 A0 34 30 0A 04 05 31 2E 32 2E 33 01 01 FF 30 26 04 16 31 2E 32"
             "2E 38 34 30 2E 31 31 33 35 35 36 2E 31 2E 34 2E 33 31 39 04 0C 30 0A 02 02 09 C4 04 04 01 02 03 04"),
         "0 msgid=3 op=65 code=0 done=1 entry=null control=1.2.3!:none "
         "control=1.2.840.113556.1.4.319:30 0A 02 02 09 C4 04 04 01 02 03 04"},
        {"search done with an unreadable control",
         hex("30 3B 02 01 03 65 07 0A 01 00 04 00 04 00 A0 2D 30 03 02 01 05 30 26 04 16 31 2E 32 2E 38 34 30 2E 31 31"
             "33 35 35 36 2E 31 2E 34 2E 33 31 39 04 0C 30 0A 02 02 09 C4 04 04 01 02 03 04"),
         "0 msgid=3 op=65 code=0 done=1 entry=null"},
        // The other results differ only in their tag: the round trip below takes them all.
        {"add", hex("30 0C 02 01 05 69 07 0A 01 44 04 00 04 00"), "0 msgid=5 op=69 code=68 done=0 entry=null"},
        {"compare", hex("30 0F 02 04 7F FF FF FF 6F 07 0A 01 05 04 00 04 00"),
         "0 msgid=2147483647 op=6F code=5 done=0 entry=null"},
        {"add with referral and controls",
         hex("30 1A 02 01 09 69 13 0A 01 0A 04 00 04 00 A3 0A 04 08 6C 64 61 70 3A 2F 2F 78 A0 00"),
         "0 msgid=9 op=69 code=10 done=0 entry=null"},
        {"entry", hex("30 36 02 01 03 64 31 04 04 63 6E 3D 61 30 29 30 1C 04 0B 6F 62 6A 65 63 74 43 6C 61 73 73 31 0D"
                      "04 03 74 6F 70 04 06 70 65 72 73 6F 6E 30 09 04 02 63 6E 31 03 04 01 61"),
         "0 msgid=3 op=64 code=0 done=0 entry={ dn:[cn=a] objectClass:[top,person] cn:[a] }"},
        {"entry with empty DN and controls",
         hex("30 25 02 01 04 64 1E 04 00 30 1A 30 18 04 0E 6E 61 6D 69 6E 67 43 6F 6E 74 65 78 74 73 31 06 04 04 64 63"
             "3D 78 A0 00"),
         "0 msgid=4 op=64 code=0 done=0 entry={ namingContexts:[dc=x] }"},
        {"empty DN, no attribute list", hex("30 07 02 01 05 64 02 04 00"), "0 msgid=5 op=64 code=0 done=0 entry=null"},
        {"empty DN, empty attribute list", hex("30 09 02 01 05 64 04 04 00 30 00"),
         "0 msgid=5 op=64 code=0 done=0 entry=null"},
        {"empty value set", hex("30 15 02 01 03 64 10 04 04 63 6E 3D 61 30 08 30 06 04 02 63 6E 31 00"),
         "0 msgid=3 op=64 code=0 done=0 entry={ dn:[cn=a] cn:[] }"},
        {"zero byte inside a value", hex("30 15 02 01 03 64 10 04 00 30 0C 30 0A 04 01 78 31 05 04 03 61 00 62"),
         "0 msgid=3 op=64 code=0 done=0 entry={ x:[a\\00b] }"},
        {"repeated type",
         hex("30 23 02 01 03 64 1E 04 04 63 6E 3D 61 30 16 30 09 04 02 63 6E 31 03 04 01 61 30 09 04 02 43 4E 31 03 04"
             "01 62"),
         "0 msgid=3 op=64 code=0 done=0 entry={ dn:[cn=a] cn:[a] CN:[b] }"},
        {"value set running past its end",
         hex("30 20 02 01 03 64 1B 04 00 30 17 30 0B 04 02 63 6E 31 05 04 01 61 04 05 30 08 04 01 78 31 03 04 01 79"),
         "0 msgid=3 op=64 code=0 done=0 entry={ cn:[] x:[y] }"},
        {"type running past its attribute",
         hex("30 21 02 01 03 64 1C 04 00 30 18 30 08 04 01 78 31 03 04 01 79 30 02 04 05 30 08 04 01 7A 31 03 04 01 77"),
         "0 msgid=3 op=64 code=0 done=0 entry={ x:[y] }"},
        {"300-byte type", entryMessage(8, "cn=long", {{std::string(300, 't'), {"v"}}, {"cn", {"long"}}}),
         expectedEntry(8, "cn=long", {{std::string(300, 't'), {"v"}}, {"cn", {"long"}}})},
        {"70000-byte binary value", entryMessage(9, "cn=photo", {{"jpegPhoto", {binary(70000)}}, {"cn", {"photo"}}}),
         expectedEntry(9, "cn=photo", {{"jpegPhoto", {binary(70000)}}, {"cn", {"photo"}}})},
        // Nothing is written for these.
        {"search reference", hex("30 0F 02 01 0A 73 0A 04 08 6C 64 61 70 3A 2F 2F 78"), "0 msgid=- op=- code=- done=- entry=-"},
        {"extended response",
         hex("30 24 02 01 00 78 1F 0A 01 34 04 00 04 00 8A 16 31 2E 33 2E 36 2E 31 2E 34 2E 31 2E 31 34 36 36 2E 32 30 30"
             "33 36"),
         "0 msgid=- op=- code=- done=- entry=-"},
        {"unreadable message id", hex("30 07 02 05 00 00 00 00 01"), "0 msgid=- op=- code=- done=- entry=-"},
        {"no operation", hex("30 03 02 01 01"), "0 msgid=- op=- code=- done=- entry=-"},
        {"operation longer than the message", hex("30 05 02 01 01 65 07"), "0 msgid=- op=- code=- done=- entry=-"},
        {"entry DN past its operation", hex("30 09 02 01 01 64 02 04 05 61 62"), "0 msgid=- op=- code=- done=- entry=-"},
        {"operation past the message, more bytes behind it", hex("30 05 02 01 01 65 07 0A 01 00 04 00 04 00"),
         "0 msgid=- op=- code=- done=- entry=-"},
        {"no bytes", {}, "-7 msgid=- op=- code=- done=- entry=-"},
        {"no contents", hex("30 00"), "-202 msgid=- op=- code=- done=- entry=-"},
        {"five length octets", hex("30 85 00 00 00 00 01 02"), "-202 msgid=- op=- code=- done=- entry=-"},
        {"contents short by one", hex("30 0D 02 01 01 61 07 0A 01 00 04 00 04 00"), "-202 msgid=- op=- code=- done=- entry=-"},
        {"result code missing", hex("30 07 02 01 09 67 02 0A 01"), "0 msgid=9 op=67 code=-202 done=0 entry=null"},
    };
    return table;
}

TEST(Decode, GoldenResponses)
{
    for (const Golden& golden : goldens())
        EXPECT_EQ(decode(golden.bytes), golden.expected) << golden.name;
}

// A strict prefix is an incomplete message; re-framed as a complete one,
// or with any byte replaced, its inner lengths lie. Either way the decoder
// stays inside the bytes, keeps the model whole and leaves nothing behind.
TEST(Decode, DamagedMessagesFailCleanly)
{
    const auto check = [](const Bytes& bytes, std::size_t count, const char* expected, const std::string& where) {
        long leaked = 0;
        const std::string outcome = decode(bytes, count, leaked);
        EXPECT_EQ(outcome.rfind(expected, 0), 0u) << where << ": " << outcome;
        EXPECT_EQ(outcome.find("BAD"), std::string::npos) << where << ": " << outcome;
        EXPECT_EQ(leaked, 0) << where;
    };
    for (const Golden& golden : goldens()) {
        if (golden.bytes.size() < 2 || golden.bytes.size() > 1000 || golden.expected[0] == '-')
            continue;
        const std::size_t header = golden.bytes[1] & 0x80 ? 2 + (golden.bytes[1] & 0x7F) : 2;
        std::size_t contents = golden.bytes[1] & 0x80 ? 0 : golden.bytes[1];
        for (std::size_t i = 2; i < header; ++i)
            contents = contents << 8 | golden.bytes[i];
        for (std::size_t count = 1; count < header + contents; ++count) {
            check(golden.bytes, count, "-202 msgid=- op=- code=- done=- entry=-", golden.name);
            if (count <= header)
                continue;
            const Bytes reframed = element(0x30, {golden.bytes.begin() + long(header), golden.bytes.begin() + long(count)});
            check(reframed, reframed.size(), "0 ", std::string(golden.name) + " re-framed " + std::to_string(count));
        }
        for (std::size_t at = header; at < golden.bytes.size(); ++at) {
            for (int replacement : {0x00, 0x01, 0x1F, 0x7F, 0x80, 0x81, 0x84, 0xFF}) {
                Bytes corrupted = golden.bytes;
                corrupted[at] = uint8_t(replacement);
                check(corrupted, corrupted.size(), "0 ", std::string(golden.name) + " @" + std::to_string(at));
            }
        }
    }
}

TEST(Decode, EveryAllocationFailureLeavesNothing)
{
    for (const Golden& golden : goldens()) {
        const std::string complete = decode(golden.bytes);
        for (long n = 0;; ++n) {
            ASSERT_LT(n, 1000) << golden.name;
            long leaked = 0;
            ornFailAllocationAt(n);
            const std::string outcome = decode(golden.bytes, golden.bytes.size(), leaked);
            ornFailAllocationAt(-1);
            EXPECT_EQ(leaked, 0) << golden.name << " failing allocation " << n;
            if (outcome == complete)
                break;
            EXPECT_EQ(outcome, "-2 msgid=- op=- code=- done=- entry=-") << golden.name << " failing allocation " << n;
        }
    }
}

// Lengths of every element cross each length-form boundary somewhere in
// each window of sizes; the message id grows through its forms too.
TEST(Decode, RoundTripsAcrossLengthForms)
{
    const uint32_t results[] = {0x61, 0x65, 0x67, 0x69, 0x6B, 0x6D, 0x6F};
    for (std::size_t boundary : {127u, 255u, 65535u}) {
        for (std::size_t size = boundary - 40; size <= boundary + 1; ++size) {
            const auto msgid = int32_t(size * 131);
            const std::string value = binary(size);
            EXPECT_EQ(decode(entryMessage(msgid, "cn=" + value.substr(0, size / 2), {{"cn", {value, "x"}}, {"sn", {}}})),
                      expectedEntry(msgid, "cn=" + value.substr(0, size / 2), {{"cn", {value, "x"}}, {"sn", {}}}));
            EXPECT_EQ(decode(entryMessage(msgid, "", {{std::string(size, 'a'), {}}})),
                      expectedEntry(msgid, "", {{std::string(size, 'a'), {}}}));
            for (uint32_t opTag : results) {
                char expected[96];
                std::snprintf(expected, sizeof(expected), "0 msgid=%d op=%X code=%d done=%s entry=null", msgid, opTag,
                              int(size % 80), opTag == 0x65 ? "1" : "0");
                EXPECT_EQ(decode(resultMessage(msgid, opTag, int32_t(size % 80), "", value)), expected);
            }
        }
    }
    for (std::size_t size : {16777215u, 16777216u}) {
        const Attrs attrs = {{"userCertificate;binary", {binary(size)}}};
        EXPECT_EQ(decode(entryMessage(1, "cn=big", attrs)), expectedEntry(1, "cn=big", attrs));
    }
}

// The readers position themselves by the message alone, after its id.
TEST(Readers, WalkAnEntryWithTypesOfAnyLength)
{
    const std::string longType(300, 't');
    const Bytes message = entryMessage(3, "cn=a", {{"objectClass", {"top", "person"}}, {longType, {"x"}}, {"cn", {}}});
    BerCodec codec;
    BerBuffer ber;
    codec.ber_init(&ber, BER_MINIMAL_LENGTHS);
    ASSERT_EQ(message[1], 0x82);
    uint8_t* contents = const_cast<uint8_t*>(message.data()) + 4;
    ber.buf = contents;
    ber.end = contents + (message.size() - 4);
    const auto rewind = [&] {
        int32_t msgid = 0;
        ber.ptr = contents;
        ASSERT_NE(codec.ber_get_int(&ber, &msgid), BER_ERROR);
    };
    const auto taken = [](char* text) {
        std::string copy = text ? text : "(null)";
        ornFree(text);
        return copy;
    };
    const auto values = [&](const char* type) {
        rewind();
        BerValue** found = ldap_get_values_len(&ber, type);
        std::string text = found ? "" : "(null)";
        for (BerValue** value = found; value && *value; ++value)
            text += std::string((*value)->bytes, (*value)->length) + ";";
        codec.ber_bvecfree(found);
        return text;
    };

    rewind();
    EXPECT_EQ(taken(ldap_get_dn(&ber)), "cn=a");
    rewind();
    EXPECT_EQ(taken(ldap_first_attribute(&ber)), "objectClass");
    EXPECT_EQ(taken(ldap_next_attribute(&ber)), longType);
    EXPECT_EQ(taken(ldap_next_attribute(&ber)), "cn");
    EXPECT_EQ(taken(ldap_next_attribute(&ber)), "(null)");

    EXPECT_EQ(values("OBJECTCLASS"), "top;person;");
    EXPECT_EQ(taken(ldap_next_attribute(&ber)), longType);
    EXPECT_EQ(values(longType.c_str()), "x;");
    EXPECT_EQ(values("cn"), "(null)");
    EXPECT_EQ(values("sn"), "(null)");
    EXPECT_EQ(values("objectClas"), "(null)");
}

const Bytes& golden(const std::string& name)
{
    const auto& table = goldens();
    const auto found = std::find_if(table.begin(), table.end(), [&](const Golden& g) { return g.name == name; });
    EXPECT_NE(found, table.end()) << name;
    return found->bytes;
}

// Where each record and each text of an entry lies, with its size.
struct Piece {
    const char* at;
    std::size_t size;
    bool record;
};

std::vector<Piece> pieces(const EntryRecord* entry)
{
    const auto at = [](const void* p) { return static_cast<const char*>(p); };
    std::vector<Piece> all = {{at(entry), sizeof(EntryRecord), true}};
    for (const AttrRecord* attr = entry->attrs; attr; attr = attr->next) {
        all.push_back({at(attr), sizeof(AttrRecord), true});
        all.push_back({attr->name, std::size_t(attr->name_len), false});
        for (const ValueRecord* value = attr->values; value; value = value->next) {
            all.push_back({at(value), sizeof(ValueRecord), true});
            all.push_back({value->data, std::size_t(value->len), false});
        }
    }
    return all;
}

// Each decoded entry is a single allocation that holds exactly its records
// and their text, records aligned for the pointers they hold.
TEST(EntryRecords, DecodedEntryIsOneBlock)
{
    const std::vector<Bytes> messages = {
        golden("entry"),
        golden("value set running past its end"),
        golden("zero byte inside a value"),
        entryMessage(8, "cn=long", {{std::string(301, 't'), {"v", "", binary(1000)}}, {"cn", {"l"}}, {"sn", {}}}),
        entryMessage(9, "", {{"a", {"b"}}}),
        entryMessage(10, "cn=x", {}),
    };
    for (const Bytes& bytes : messages) {
        const int32_t mallocs = MallocCount.load();
        const std::size_t before = liveHeapBytes();
        DecodedMessage out{};
        const int32_t status = Decode(bytes.data(), uint32_t(bytes.size()), BER_MINIMAL_LENGTHS, &out);
        const std::size_t held = liveHeapBytes() - before;
        const int32_t allocations = MallocCount.load() - mallocs;
        ASSERT_EQ(status, 0);
        ASSERT_NE(out.entry, nullptr);
        EXPECT_EQ(allocations, 1);
        {
            std::vector<Piece> all = pieces(out.entry);
            std::size_t total = 0;
            for (const Piece& piece : all) {
                total += piece.size;
                if (piece.record) {
                    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(piece.at) % alignof(void*), 0u);
                }
            }
#if defined(__SANITIZE_ADDRESS__)
            EXPECT_EQ(held, total);
#endif
            std::sort(all.begin(), all.end(), [](const Piece& a, const Piece& b) { return a.at < b.at; });
            EXPECT_EQ(all.front().at, reinterpret_cast<const char*>(out.entry));
            for (std::size_t i = 1; i < all.size(); ++i)
                EXPECT_GE(all[i].at, all[i - 1].at + all[i - 1].size) << "piece " << i << " overlaps the one before";
            EXPECT_LE(all.back().at + all.back().size, reinterpret_cast<const char*>(out.entry) + total);
        }
        const std::size_t holding = liveHeapBytes();
        EXPECT_EQ(FreeEntryChain(out.entry), 0);
        EXPECT_EQ(holding - liveHeapBytes(), held);
    }

    // Nothing is allocated for an entry that is not kept.
    for (const char* name : {"empty DN, no attribute list", "entry DN past its operation"}) {
        const Bytes& bytes = golden(name);
        const int32_t mallocs = MallocCount.load();
        DecodedMessage out{};
        EXPECT_EQ(Decode(bytes.data(), uint32_t(bytes.size()), BER_MINIMAL_LENGTHS, &out), 0);
        EXPECT_EQ(out.entry, nullptr);
        EXPECT_EQ(MallocCount.load(), mallocs);
    }
}

// One chain may hold decoded entries, entries built record by record (their
// text allocated apart) and the end-of-search node; freeing it releases each
// the way it was built.
TEST(EntryRecords, FreeTakesDecodedAndBuiltEntriesInOneChain)
{
    const Bytes& message = golden("entry"); // the golden table is built once, on first use
    const std::size_t before = liveHeapBytes();
    DecodedMessage first{};
    DecodedMessage last{};
    ASSERT_EQ(Decode(message.data(), uint32_t(message.size()), BER_MINIMAL_LENGTHS, &first), 0);
    ASSERT_EQ(Decode(message.data(), uint32_t(message.size()), BER_MINIMAL_LENGTHS, &last), 0);
    EntryRecord* built = NewEntryRecord();
    auto* end = static_cast<EntryRecord*>(ornCalloc(1, sizeof(EntryRecord)));
    ASSERT_TRUE(first.entry && last.entry && built && built->attrs && end);
    EXPECT_EQ(render(built), "{ BAD:[] }"); // an attribute without name yet
    built->attrs->name = ornStrndup("cn", 2);
    built->attrs->name_len = 3;
    built->attrs->values = static_cast<ValueRecord*>(ornCalloc(1, sizeof(ValueRecord)));
    built->attrs->values->data = ornStrndup("b", 1);
    end->end_of_search = 1;
    first.entry->next = built;
    built->next = last.entry;
    last.entry->next = end;
    EXPECT_EQ(OrnFreeResult(first.entry), 0);
    EXPECT_EQ(liveHeapBytes(), before);

    for (long n : {0, 1}) {
        ornFailAllocationAt(n);
        EXPECT_EQ(NewEntryRecord(), nullptr);
        ornFailAllocationAt(-1);
    }
    EXPECT_EQ(liveHeapBytes(), before);
}

} // namespace
