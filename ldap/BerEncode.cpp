// BER element encoders and ber_printf.
#include "ldap/Ber.h"

#include "ldap/OrnAlloc.h"

#include <cstdarg>
#include <cstring>

bool berEnsureRoom(BerBuffer* ber, std::size_t limit, std::size_t n);
int32_t berWriteParts(BerBuffer* ber, const void* first, uint32_t firstCount, const void* second,
                      uint32_t secondCount, int ignore_open);

namespace {

constexpr uint32_t kTagInteger = 0x02;
constexpr uint32_t kTagEnumerated = 0x0A;
constexpr uint32_t kTagBoolean = 0x01;
constexpr uint32_t kTagNull = 0x05;
constexpr uint32_t kTagOctetString = 0x04;
constexpr uint32_t kTagBitString = 0x03;
constexpr uint32_t kTagSequence = 0x30;
constexpr uint32_t kTagSet = 0x31;
constexpr std::size_t kReservedLength = 5; // room for 0x84 and four octets

// Tags and lengths for one element: at most four tag octets, five length
// octets and, for a bit string, the unused-bits octet.
struct Header {
    uint8_t bytes[10];
    uint32_t size = 0;
};

uint32_t tagOctets(uint32_t tag)
{
    if (tag <= 0xFF)
        return 1;
    if (tag <= 0xFFFF)
        return 2;
    if (tag <= 0xFFFFFF)
        return 3;
    return 4;
}

void appendTag(Header& header, uint32_t tag)
{
    for (uint32_t i = tagOctets(tag); i > 0; --i)
        header.bytes[header.size++] = static_cast<uint8_t>(tag >> (8 * (i - 1)));
}

uint32_t lengthValueOctets(uint32_t length)
{
    if (length <= 0xFF)
        return 1;
    if (length <= 0xFFFF)
        return 2;
    if (length <= 0xFFFFFF)
        return 3;
    return 4;
}

// Minimal definite form: one octet up to 127, else 0x80 + k and k octets.
void appendMinimalLength(Header& header, uint32_t length)
{
    if (length <= 127) {
        header.bytes[header.size++] = static_cast<uint8_t>(length);
        return;
    }
    uint32_t k = lengthValueOctets(length);
    header.bytes[header.size++] = static_cast<uint8_t>(0x80 + k);
    for (uint32_t i = k; i > 0; --i)
        header.bytes[header.size++] = static_cast<uint8_t>(length >> (8 * (i - 1)));
}

void appendFullLength(Header& header, uint32_t length)
{
    header.bytes[header.size++] = 0x84;
    for (int i = 3; i >= 0; --i)
        header.bytes[header.size++] = static_cast<uint8_t>(length >> (8 * i));
}

uint32_t orDefault(uint32_t tag, uint32_t fallback)
{
    return tag == BER_ERROR ? fallback : tag;
}

// Octets of the minimal two's complement form of value.
uint32_t integerOctets(int32_t value)
{
    auto bits = static_cast<uint32_t>(value);
    uint8_t filler = value < 0 ? 0xFF : 0x00;
    uint32_t leading = 0; // index of the leading octet, 0 = lowest
    for (uint32_t i = 3; i > 0; --i) {
        if (static_cast<uint8_t>(bits >> (8 * i)) != filler) {
            leading = i;
            break;
        }
    }
    bool signBit = (bits >> (8 * leading + 7)) & 1;
    if (signBit != (value < 0))
        ++leading;
    return leading + 1;
}

int32_t putInteger(BerBuffer* ber, int32_t value, uint32_t tag)
{
    Header header;
    appendTag(header, tag);
    uint32_t octets = integerOctets(value);
    header.bytes[header.size++] = static_cast<uint8_t>(octets);
    for (uint32_t i = octets; i > 0; --i)
        header.bytes[header.size++] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * (i - 1)));
    return berWriteParts(ber, header.bytes, header.size, nullptr, 0, 0);
}

int32_t putPrimitive(BerBuffer* ber, uint32_t tag, const void* contents, uint32_t length)
{
    Header header;
    appendTag(header, tag);
    appendMinimalLength(header, length);
    return berWriteParts(ber, header.bytes, header.size, contents, length, 0);
}

// A request opens and closes dozens of elements but holds only a few open at
// once, so closed ones are kept in the buffer for the next to reuse.
BerOpenElement* newElement(BerBuffer* ber)
{
    if (BerOpenElement* element = ber->spare) {
        ber->spare = element->enclosing;
        *element = BerOpenElement{};
        return element;
    }
    return static_cast<BerOpenElement*>(ornCalloc(1, sizeof(BerOpenElement)));
}

void keepElement(BerBuffer* ber, BerOpenElement* element)
{
    element->enclosing = ber->spare;
    ber->spare = element;
}

int32_t startConstructed(BerBuffer* ber, uint32_t tag)
{
    BerOpenElement* element = newElement(ber);
    if (!element)
        return -1;
    element->owner = ber;
    element->tag = tag;
    element->first = ber->open ? ber->open->wpos
                               : (ber->buf ? static_cast<std::size_t>(ber->ptr - ber->buf) : 0);
    element->wpos = element->first + tagOctets(tag) + kReservedLength;
    // The header is written into the reserved room when the element closes,
    // so the room must exist even if no content ever follows.
    if (!berEnsureRoom(ber, element->wpos, element->wpos - element->first)) {
        keepElement(ber, element);
        return -1;
    }
    element->enclosing = ber->open;
    ber->open = element;
    return 0;
}

} // namespace

int32_t BerCodec::ber_put_tag(BerBuffer* ber, uint32_t tag, int ignore_open)
{
    Header header;
    appendTag(header, tag);
    return ber_write(ber, header.bytes, header.size, ignore_open);
}

int32_t BerCodec::ber_put_len(BerBuffer* ber, uint32_t length, int ignore_open)
{
    Header header;
    appendMinimalLength(header, length);
    return ber_write(ber, header.bytes, header.size, ignore_open);
}

int32_t BerCodec::ber_put_int(BerBuffer* ber, int32_t value, uint32_t tag)
{
    return putInteger(ber, value, orDefault(tag, kTagInteger));
}

int32_t BerCodec::ber_put_enum(BerBuffer* ber, int32_t value, uint32_t tag)
{
    return putInteger(ber, value, orDefault(tag, kTagEnumerated));
}

int32_t BerCodec::ber_put_boolean(BerBuffer* ber, int value, uint32_t tag)
{
    uint8_t octet = value ? 0xFF : 0x00;
    return putPrimitive(ber, orDefault(tag, kTagBoolean), &octet, 1);
}

int32_t BerCodec::ber_put_null(BerBuffer* ber, uint32_t tag)
{
    return putPrimitive(ber, orDefault(tag, kTagNull), nullptr, 0);
}

int32_t BerCodec::ber_put_ostring(BerBuffer* ber, const void* bytes, uint32_t length, uint32_t tag)
{
    return putPrimitive(ber, orDefault(tag, kTagOctetString), bytes, length);
}

int32_t BerCodec::ber_put_string(BerBuffer* ber, const char* text, uint32_t tag)
{
    std::size_t length = std::strlen(text);
    if (length > INT32_MAX)
        return -1;
    return ber_put_ostring(ber, text, static_cast<uint32_t>(length), tag);
}

int32_t BerCodec::ber_put_bitstring(BerBuffer* ber, const uint8_t* bytes, uint32_t bit_count, uint32_t tag)
{
    uint32_t byteCount = bit_count / 8 + (bit_count % 8 ? 1 : 0);
    if (byteCount >= INT32_MAX)
        return -1;
    Header header;
    appendTag(header, orDefault(tag, kTagBitString));
    appendMinimalLength(header, byteCount + 1);
    header.bytes[header.size++] = static_cast<uint8_t>(8 * byteCount - bit_count);
    return berWriteParts(ber, header.bytes, header.size, bytes, byteCount, 0);
}

int32_t BerCodec::ber_start_seq(BerBuffer* ber, uint32_t tag)
{
    return startConstructed(ber, orDefault(tag, kTagSequence));
}

int32_t BerCodec::ber_start_set(BerBuffer* ber, uint32_t tag)
{
    return startConstructed(ber, orDefault(tag, kTagSet));
}

int32_t BerCodec::ber_put_seq(BerBuffer* ber)
{
    BerOpenElement* element = ber->open;
    if (!element)
        return -1;
    const uint32_t contentLength = element->content_len;
    const bool minimal = ber->options & BER_MINIMAL_LENGTHS;

    Header header;
    appendTag(header, element->tag);
    const uint32_t tagSize = header.size;
    if (minimal)
        appendMinimalLength(header, contentLength);
    else
        appendFullLength(header, contentLength);
    const uint32_t lengthSize = header.size - tagSize;

    // The room for the header was reserved when the element was opened.
    if (!element->enclosing) {
        if (ber_write(ber, header.bytes, header.size, 1) == -1)
            return -1;
    } else {
        std::memcpy(ber->buf + element->first, header.bytes, header.size);
    }
    uint8_t* start = ber->buf + element->first;
    if (lengthSize != kReservedLength && contentLength > 0)
        std::memmove(start + header.size, start + tagSize + kReservedLength, contentLength);

    const uint32_t total = header.size + contentLength;
    if (element->enclosing) {
        element->enclosing->content_len += total;
        element->enclosing->wpos += total;
    } else {
        ber->ptr += contentLength;
    }
    ber->open = element->enclosing;
    keepElement(ber, element);
    return static_cast<int32_t>(total);
}

int32_t BerCodec::ber_printf(BerBuffer* ber, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int32_t result = 0;
    for (const char* f = format; *f && result != -1; ++f) {
        const uint32_t tag = ber->tag;
        switch (*f) {
        case 'b':
            result = ber_put_boolean(ber, va_arg(args, int), tag);
            break;
        case 'e':
            result = ber_put_enum(ber, va_arg(args, int32_t), tag);
            break;
        case 'i':
            result = ber_put_int(ber, va_arg(args, int32_t), tag);
            break;
        case 'n':
            result = ber_put_null(ber, tag);
            break;
        case 'o': {
            const void* bytes = va_arg(args, const void*);
            result = ber_put_ostring(ber, bytes, va_arg(args, uint32_t), tag);
            break;
        }
        case 's':
            result = ber_put_string(ber, va_arg(args, const char*), tag);
            break;
        case 'B': {
            const auto* bytes = va_arg(args, const uint8_t*);
            result = ber_put_bitstring(ber, bytes, va_arg(args, uint32_t), tag);
            break;
        }
        case 't':
            ber->tag = va_arg(args, uint32_t);
            ber->tag_pending = 1;
            break;
        case 'v':
            if (char** list = va_arg(args, char**))
                for (; *list && result != -1; ++list)
                    result = ber_put_string(ber, *list, tag);
            break;
        case 'V':
            if (BerValue** list = va_arg(args, BerValue**))
                for (; *list && result != -1; ++list)
                    result = ber_put_ostring(ber, (*list)->bytes, (*list)->length, tag);
            break;
        case '{':
            result = ber_start_seq(ber, tag);
            break;
        case '[':
            result = ber_start_set(ber, tag);
            break;
        case '}':
        case ']':
            result = ber_put_seq(ber);
            break;
        default:
            result = -1;
            break;
        }
        // An override set by 't' applies to exactly one more character.
        if (ber->tag_pending)
            ber->tag_pending = 0;
        else
            ber->tag = BER_ERROR;
    }
    va_end(args);
    return result;
}
