// Decode: one received LDAPMessage into a DecodedMessage, and the readers
// over a search entry message.
#include "ldap/io.h"

#include "ldap/DecodeEntry.h"
#include "ldap/ElementLimit.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnControl.h"
#include "ldap/OrnTrace.h"

#include <strings.h>

#include <cstring>

namespace {

constexpr uint32_t kBindResponse = 0x61;
constexpr uint32_t kSearchEntry = 0x64;
constexpr uint32_t kSearchDone = 0x65;
constexpr uint32_t kModifyResponse = 0x67;
constexpr uint32_t kAddResponse = 0x69;
constexpr uint32_t kDeleteResponse = 0x6B;
constexpr uint32_t kModifyRdnResponse = 0x6D;
constexpr uint32_t kCompareResponse = 0x6F;

// LDAPResult ::= SEQUENCE {
//      resultCode         ENUMERATED,
//      matchedDN          LDAPDN,
//      diagnosticMessage  LDAPString,
//      referral           [3] Referral OPTIONAL }
// The two texts are not kept, so they are skipped rather than copied.
bool readResultCode(BerCodec& codec, BerBuffer* ber, int32_t* code)
{
    return codec.ber_scanf(ber, "{ixx}", code) != BER_ERROR;
}

} // namespace

// LDAPMessage ::= SEQUENCE {
//      messageID       MessageID,
//      protocolOp      CHOICE { bindResponse, searchResEntry, searchResDone,
//                               modifyResponse, addResponse, delResponse,
//                               modDNResponse, compareResponse, ... },
//      controls        [0] Controls OPTIONAL }
int32_t Decode(const uint8_t* bytes, uint32_t count, uint8_t options, DecodedMessage* out)
{
    if (!bytes || count == 0 || !out) {
        ornTrace("io:Decode: Invalid Input :  \n");
        return INVALID_INPUT;
    }
    // The message is read where it lies rather than copied out first with
    // ber_get_next: every string kept is copied into the records anyway, and
    // a message-sized copy per entry costs more than the rest of the decode.
    // The framing accepted is the same: a tag, a length of at most four
    // octets, and that many content bytes, at least one.
    BerCodec codec;
    BerBuffer ber;
    codec.ber_init(&ber, options);
    ber.buf = ber.ptr = const_cast<uint8_t*>(bytes); // only ever read
    ber.end = ber.buf + count;
    uint32_t length = 0;
    if (codec.ber_skip_tag(&ber, &length) == BER_ERROR || length == 0) {
        ornTrace("io:Decode: ber_get_next:Decoding error  \n");
        return ORN_BER_DECODE_ERROR;
    }
    ber.end = ber.ptr + length;

    int32_t msgid = 0;
    if (codec.ber_get_int(&ber, &msgid) == BER_ERROR)
        return 0;
    const uint32_t opTag = codec.ber_peek_tag(&ber, &length);
    switch (opTag) {
    case kBindResponse:
    case kSearchDone:
    case kModifyResponse:
    case kAddResponse:
    case kDeleteResponse:
    case kModifyRdnResponse:
    case kCompareResponse: {
        // A response whose result cannot be read still answers its request:
        // it ends the wait with a decode error rather than leaving it open.
        uint8_t* const opStart = ber.ptr;
        codec.ber_skip_tag(&ber, &length);
        uint8_t* const opEnd = ber.ptr + length;
        ber.ptr = opStart;
        int32_t code = 0;
        if (!readResultCode(codec, &ber, &code))
            code = ORN_BER_DECODE_ERROR;
        // Only a search done's controls reach the caller (the paged results cookie).
        OrnControl** controls = nullptr;
        if (opTag == kSearchDone) {
            ber.ptr = opEnd;
            if (ornReadControls(codec, &ber, &controls) != 0)
                return MALLOC_ERROR;
        }
        *out = { .msgid = msgid,
            .entry = nullptr,
            .search_done = opTag == kSearchDone ? 1 : 0,
            .op_tag = static_cast<int32_t>(opTag),
            .result_code = code,
            .controls = controls };
        if (opTag == kBindResponse)
            ornTracef("io:Decode: Bind Response: Mesg Id =%d : result = %d \n", msgid, code);
        return 0;
    }
    case kSearchEntry: {
        EntryRecord* entry = nullptr;
        switch (ornReadEntry(codec, &ber, &entry)) {
        case EntryRead::Read:
            *out = { .msgid = msgid,
                .entry = entry,
                .search_done = 0,
                .op_tag = static_cast<int32_t>(opTag),
                .result_code = 0,
                .controls = nullptr };
            return 0;
        case EntryRead::NoMemory:
            // An entry dropped for want of memory would leave a search
            // looking complete when it is not.
            return MALLOC_ERROR;
        case EntryRead::Unreadable:
            return 0;
        }
        return 0;
    }
    default:
        // Unreadable, or a reference or extended response: nothing to report.
        return 0;
    }
}

namespace {

// One string taken by a ber_scanf format whose only output is an "a".
char* scanString(BerBuffer* ber, const char* format)
{
    if (!ber)
        return nullptr;
    BerCodec codec;
    char* text = nullptr;
    return codec.ber_scanf(ber, format, &text) == BER_ERROR ? nullptr : text;
}

} // namespace

char* ldap_get_dn(BerBuffer* ber)
{
    return scanString(ber, "{a");
}

char* ldap_first_attribute(BerBuffer* ber)
{
    return scanString(ber, "{x{{ax}");
}

char* ldap_next_attribute(BerBuffer* ber)
{
    return scanString(ber, "{ax}");
}

// Types are compared where they stand in the message, whatever their length,
// so the search allocates nothing until the values are found.
BerValue** ldap_get_values_len(BerBuffer* ber, const char* type)
{
    if (!ber || !type)
        return nullptr;
    BerCodec codec;
    const std::size_t typeLength = std::strlen(type);
    uint32_t length = 0;
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return nullptr;
    ElementLimit operation(ber, ber->ptr + length);
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return nullptr;
    ber->ptr += length;
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return nullptr;
    ElementLimit list(ber, ber->ptr + length);
    while (ber->ptr < ber->end) {
        if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
            return nullptr;
        uint8_t* const attributeEnd = ber->ptr + length;
        ElementLimit attribute(ber, attributeEnd);
        if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
            return nullptr;
        const bool match =
            length == typeLength && strncasecmp(reinterpret_cast<const char*>(ber->ptr), type, typeLength) == 0;
        ber->ptr += length;
        if (match) {
            BerValue** values = nullptr;
            return codec.ber_scanf(ber, "[V]", &values) == BER_ERROR ? nullptr : values;
        }
        ber->ptr = attributeEnd;
    }
    return nullptr;
}
