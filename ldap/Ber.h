// The BER codec: a growable message buffer, the element encoders and
// decoders LDAP needs, and the two format-string interpreters ber_printf and
// ber_scanf that the request encoders and the response decoder are written in.
//
// Ownership: a BerBuffer made by ber_alloc is released with ber_free.
// Strings and arrays that ber_scanf hands out belong to the caller, who frees
// them with ornFree (BerValues with ber_bvfree and ber_bvecfree). A failed
// ber_scanf reclaims everything it produced, so the caller owns nothing.
//
// Threads: a buffer and a codec object are used by one thread at a time.
//
// Failure is the 32-bit value 0xFFFFFFFF throughout: BER_ERROR for the
// calls that return tags, -1 for the calls that return counts.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t BER_ERROR = 0xFFFFFFFFu; // also "no tag"
constexpr uint8_t BER_MINIMAL_LENGTHS = 0x01;
constexpr uint32_t BER_BLOCK_SIZE = 1024;

struct BerBuffer;

// One constructed element opened and not yet closed. Positions are offsets
// from the start of the owner's byte area, so growing the area moves nothing.
struct BerOpenElement {
    BerBuffer* owner;
    uint32_t content_len;
    uint32_t tag;
    std::size_t first; // where the element's tag goes
    std::size_t wpos;  // where its next content byte goes
    BerOpenElement* enclosing;
};

// While ber_get_next reads a message in pieces (fill set), buf to fill holds
// what has arrived of the whole element, end is the end of the area
// allocated so far, ptr the first content octet and len the announced
// content length.
struct BerBuffer {
    uint8_t* buf;
    uint8_t* ptr;
    uint8_t* end;
    BerOpenElement* open;
    uint32_t tag;
    uint32_t len;
    int32_t tag_pending;
    uint8_t options;
    uint8_t* fill;
    BerOpenElement* spare; // closed elements kept for reuse; ber_free releases them
};

// The byte area ber_get_next reads from; it does not own the bytes.
using BerSource = BerBuffer;

// A counted byte string; bytes is followed by a zero byte not in length.
struct BerValue {
    uint32_t length;
    char* bytes;
};

// What the last ber_get_next came to.
enum class BerNext : uint8_t {
    Message, // a whole message: its tag was returned
    NeedMore, // the source ran out first: call again with the bytes after it
    Empty, // an element without contents (or of indefinite length) was passed over: call again
    NotBer, // the bytes at the source's position are no message this codec reads
    NoMemory, // nothing more was taken from the source: the same call may be repeated
};

class BerCodec {
public:
    int32_t error_number = 0; // 90 once ldap_alloc_ber_with_options ran out of memory
    BerNext next_status = BerNext::Message;

    // Buffer operations.
    BerBuffer* ber_alloc(uint8_t options);
    BerBuffer* ldap_alloc_ber_with_options(uint8_t options);
    void ber_init(BerBuffer* ber, uint8_t options);
    void ber_set_options(uint8_t options, BerBuffer* ber);
    void ber_free(BerBuffer* ber, int free_bytes);
    uint32_t ber_read(BerBuffer* ber, void* destination, uint32_t count);
    int32_t ber_write(BerBuffer* ber, const void* source, uint32_t count, int ignore_open);

    // Element encoders: bytes written, or -1. A tag of BER_ERROR means the default.
    int32_t ber_put_tag(BerBuffer* ber, uint32_t tag, int ignore_open);
    int32_t ber_put_len(BerBuffer* ber, uint32_t length, int ignore_open);
    int32_t ber_put_int(BerBuffer* ber, int32_t value, uint32_t tag);
    int32_t ber_put_enum(BerBuffer* ber, int32_t value, uint32_t tag);
    int32_t ber_put_boolean(BerBuffer* ber, int value, uint32_t tag);
    int32_t ber_put_null(BerBuffer* ber, uint32_t tag);
    int32_t ber_put_ostring(BerBuffer* ber, const void* bytes, uint32_t length, uint32_t tag);
    int32_t ber_put_string(BerBuffer* ber, const char* text, uint32_t tag);
    int32_t ber_put_bitstring(BerBuffer* ber, const uint8_t* bytes, uint32_t bit_count, uint32_t tag);
    int32_t ber_start_seq(BerBuffer* ber, uint32_t tag);
    int32_t ber_start_set(BerBuffer* ber, uint32_t tag);
    int32_t ber_put_seq(BerBuffer* ber);

    // Element decoders: the tag read, or BER_ERROR. Tags are never checked.
    uint32_t ber_get_tag(BerBuffer* ber);
    uint32_t ber_skip_tag(BerBuffer* ber, uint32_t* length);
    uint32_t ber_peek_tag(BerBuffer* ber, uint32_t* length);
    uint32_t ber_get_int(BerBuffer* ber, int32_t* value);
    uint32_t ber_get_boolean(BerBuffer* ber, int* value);
    uint32_t ber_get_null(BerBuffer* ber);
    uint32_t ber_get_stringb(BerBuffer* ber, char* buffer, uint32_t* size);
    uint32_t ber_get_stringa(BerBuffer* ber, char** text);
    uint32_t ber_get_stringal(BerBuffer* ber, BerValue** value);
    uint32_t ber_get_bitstringa(BerBuffer* ber, uint8_t** bytes, uint32_t* bit_count);
    uint32_t ber_first_element(BerBuffer* ber, uint32_t* length, uint8_t** last);
    uint32_t ber_next_element(BerBuffer* ber, uint32_t* length, const uint8_t* last);
    void ber_bvfree(BerValue* value);
    void ber_bvecfree(BerValue** values);

    int32_t ber_printf(BerBuffer* ber, const char* format, ...);
    uint32_t ber_scanf(BerBuffer* ber, const char* format, ...);

    // Reads one complete message from source into ber and returns its tag.
    // ber keeps the whole element: buf is its identifier octet (the caller's
    // to ornFree), ptr its first content octet, end the end of its contents.
    // BER_ERROR comes with next_status saying why. NeedMore: a header cut
    // short is left in the source untaken, to be presented again at the
    // front of the bytes that follow; once a header is read, the read stays
    // in progress in ber (fill set) and goes on with the next source. The
    // area grows with what arrives, to at most twice that, so an announced
    // length costs nothing until its bytes are there. NotBer: a tag or a
    // length of more than four octets, or an element too large for a 32-bit
    // size; the source stays on it.
    uint32_t ber_get_next(BerSource* source, uint32_t* length, BerBuffer* ber);
    // While ber_get_next reads a message (fill set): room at fill for up to
    // count more of its octets, grown as ber_get_next grows it, so that a
    // reader can put the rest of a large message straight there, move fill
    // past what it wrote and call ber_get_next again, which counts it. The
    // room found, never past the message's end; 0 when out of memory.
    uint32_t ber_next_room(BerBuffer* ber, uint32_t count);
};
