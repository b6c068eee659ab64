// BER element decoders and ber_scanf. Every read checks that its bytes lie
// inside the message (and, within ber_scanf, inside the element it entered)
// before it touches them.
#include "ldap/Ber.h"
#include "ldap/BerHeader.h"
#include "ldap/ElementLimit.h"

#include "ldap/OrnAlloc.h"

#include <cstdarg>
#include <cstring>

namespace {

std::size_t remaining(const BerBuffer* ber)
{
    return ber->ptr < ber->end ? static_cast<std::size_t>(ber->end - ber->ptr) : 0;
}

BerHeader readTag(BerBuffer* ber, uint32_t* tag)
{
    if (remaining(ber) == 0)
        return BerHeader::Short;
    const uint8_t first = *ber->ptr++;
    *tag = first;
    if ((first & 0x1F) != 0x1F)
        return BerHeader::Read;
    for (int i = 0; i < 3; ++i) {
        if (remaining(ber) == 0)
            return BerHeader::Short;
        const uint8_t next = *ber->ptr++;
        *tag = (*tag << 8) | next;
        if (!(next & 0x80))
            return BerHeader::Read;
    }
    return BerHeader::Bad;
}

} // namespace

uint32_t berReadTag(BerBuffer* ber)
{
    uint32_t tag = 0;
    return readTag(ber, &tag) == BerHeader::Read ? tag : BER_ERROR;
}

// The indefinite form (0x80) reads as a length of zero.
BerHeader berReadHeader(BerBuffer* ber, uint32_t* tag, uint32_t* length)
{
    if (const BerHeader read = readTag(ber, tag); read != BerHeader::Read)
        return read;
    if (remaining(ber) == 0)
        return BerHeader::Short;
    const uint8_t first = *ber->ptr++;
    if (!(first & 0x80)) {
        *length = first;
        return BerHeader::Read;
    }
    const uint32_t k = first & 0x7F;
    if (k > 4)
        return BerHeader::Bad;
    if (remaining(ber) < k)
        return BerHeader::Short;
    uint32_t value = 0;
    for (uint32_t i = 0; i < k; ++i)
        value = (value << 8) | *ber->ptr++;
    *length = value;
    return BerHeader::Read;
}

uint32_t BerCodec::ber_get_tag(BerBuffer* ber)
{
    return berReadTag(ber);
}

uint32_t BerCodec::ber_skip_tag(BerBuffer* ber, uint32_t* length)
{
    uint32_t tag = 0;
    if (berReadHeader(ber, &tag, length) != BerHeader::Read || *length > remaining(ber))
        return BER_ERROR;
    return tag;
}

uint32_t BerCodec::ber_peek_tag(BerBuffer* ber, uint32_t* length)
{
    uint8_t* position = ber->ptr;
    const uint32_t tag = ber_skip_tag(ber, length);
    ber->ptr = position;
    return tag;
}

uint32_t BerCodec::ber_get_int(BerBuffer* ber, int32_t* value)
{
    uint32_t length = 0;
    const uint32_t tag = ber_skip_tag(ber, &length);
    if (tag == BER_ERROR || length > 4)
        return BER_ERROR;
    uint32_t bits = (length > 0 && (ber->ptr[0] & 0x80)) ? UINT32_MAX : 0;
    for (uint32_t i = 0; i < length; ++i)
        bits = (bits << 8) | *ber->ptr++;
    *value = static_cast<int32_t>(bits);
    return tag;
}

uint32_t BerCodec::ber_get_boolean(BerBuffer* ber, int* value)
{
    int32_t decoded = 0;
    const uint32_t tag = ber_get_int(ber, &decoded);
    if (tag != BER_ERROR)
        *value = decoded;
    return tag;
}

uint32_t BerCodec::ber_get_null(BerBuffer* ber)
{
    uint32_t length = 0;
    const uint32_t tag = ber_skip_tag(ber, &length);
    return tag == BER_ERROR || length != 0 ? BER_ERROR : tag;
}

uint32_t BerCodec::ber_get_stringb(BerBuffer* ber, char* buffer, uint32_t* size)
{
    uint32_t length = 0;
    const uint32_t tag = ber_skip_tag(ber, &length);
    if (tag == BER_ERROR || *size == 0 || length > *size - 1)
        return BER_ERROR;
    std::memcpy(buffer, ber->ptr, length);
    buffer[length] = '\0';
    ber->ptr += length;
    *size = length;
    return tag;
}

uint32_t BerCodec::ber_get_stringa(BerBuffer* ber, char** text)
{
    *text = nullptr;
    uint32_t length = 0;
    const uint32_t tag = ber_skip_tag(ber, &length);
    if (tag == BER_ERROR)
        return BER_ERROR;
    *text = ornStrndup(reinterpret_cast<const char*>(ber->ptr), length);
    if (!*text)
        return BER_ERROR;
    ber->ptr += length;
    return tag;
}

uint32_t BerCodec::ber_get_stringal(BerBuffer* ber, BerValue** value)
{
    *value = nullptr;
    uint32_t length = 0;
    const uint32_t tag = ber_skip_tag(ber, &length);
    if (tag == BER_ERROR)
        return BER_ERROR;
    auto* result = static_cast<BerValue*>(ornMalloc(sizeof(BerValue)));
    if (!result)
        return BER_ERROR;
    result->length = length;
    result->bytes = ornStrndup(reinterpret_cast<const char*>(ber->ptr), length);
    if (!result->bytes) {
        ornFree(result);
        return BER_ERROR;
    }
    ber->ptr += length;
    *value = result;
    return tag;
}

uint32_t BerCodec::ber_get_bitstringa(BerBuffer* ber, uint8_t** bytes, uint32_t* bit_count)
{
    *bytes = nullptr;
    uint32_t length = 0;
    const uint32_t tag = ber_skip_tag(ber, &length);
    if (tag == BER_ERROR || length == 0)
        return BER_ERROR;
    const uint32_t byteCount = length - 1;
    const uint8_t unusedBits = ber->ptr[0];
    if (unusedBits > 7 || (byteCount == 0 && unusedBits != 0) || byteCount > UINT32_MAX / 8)
        return BER_ERROR;
    *bytes = static_cast<uint8_t*>(ornMalloc(byteCount));
    if (!*bytes)
        return BER_ERROR;
    std::memcpy(*bytes, ber->ptr + 1, byteCount);
    ber->ptr += length;
    *bit_count = 8 * byteCount - unusedBits;
    return tag;
}

uint32_t BerCodec::ber_first_element(BerBuffer* ber, uint32_t* length, uint8_t** last)
{
    *last = nullptr;
    if (ber_skip_tag(ber, length) == BER_ERROR)
        return BER_ERROR;
    *last = ber->ptr + *length;
    if (*length == 0)
        return BER_ERROR;
    return ber_peek_tag(ber, length);
}

uint32_t BerCodec::ber_next_element(BerBuffer* ber, uint32_t* length, const uint8_t* last)
{
    if (ber->ptr >= last)
        return BER_ERROR;
    return ber_peek_tag(ber, length);
}

void BerCodec::ber_bvfree(BerValue* value)
{
    if (!value)
        return;
    ornFree(value->bytes);
    ornFree(value);
}

void BerCodec::ber_bvecfree(BerValue** values)
{
    if (!values)
        return;
    for (BerValue** value = values; *value; ++value)
        ber_bvfree(*value);
    ornFree(values);
}

namespace {

// Reads the members of a SET or SEQUENCE OF into a null-terminated array.
// The array stays null-terminated at every step, so a failure part way
// leaves exactly what the reclamation walk frees. An empty or unreadable
// element leaves the array null and is not a failure.
template <typename Item, typename ReadMember>
uint32_t readList(BerCodec& codec, BerBuffer* ber, Item*** out, uint32_t unchanged, ReadMember readMember)
{
    *out = nullptr;
    uint32_t length = 0;
    uint8_t* last = nullptr;
    if (codec.ber_first_element(ber, &length, &last) == BER_ERROR)
        return unchanged;
    ElementLimit list(ber, last);
    uint32_t result = BER_ERROR;
    std::size_t count = 0;
    do {
        auto** grown = static_cast<Item**>(ornRealloc(*out, (count + 2) * sizeof(Item*)));
        if (!grown)
            return BER_ERROR;
        *out = grown;
        grown[count] = grown[count + 1] = nullptr;
        result = readMember(&grown[count]);
        ++count;
    } while (result != BER_ERROR && codec.ber_next_element(ber, &length, last) != BER_ERROR);
    return result;
}

} // namespace

uint32_t BerCodec::ber_scanf(BerBuffer* ber, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);

    uint32_t result = 0;
    const char* f = format;
    {
        ElementLimit entered(ber);
        for (; *f; ++f) {
            switch (*f) {
            case 'a':
                result = ber_get_stringa(ber, va_arg(args, char**));
                break;
            case 's': {
                char* buffer = va_arg(args, char*);
                result = ber_get_stringb(ber, buffer, va_arg(args, uint32_t*));
                break;
            }
            case 'O':
                result = ber_get_stringal(ber, va_arg(args, BerValue**));
                break;
            case 'o': {
                auto* value = va_arg(args, BerValue*);
                value->bytes = nullptr;
                uint32_t length = 0;
                result = ber_peek_tag(ber, &length);
                if (result != BER_ERROR) {
                    value->length = length;
                    result = ber_get_stringa(ber, &value->bytes);
                }
                break;
            }
            case 'B': {
                auto** bytes = va_arg(args, uint8_t**);
                result = ber_get_bitstringa(ber, bytes, va_arg(args, uint32_t*));
                break;
            }
            case 'b':
                result = ber_get_boolean(ber, va_arg(args, int*));
                break;
            case 'e':
            case 'i':
                result = ber_get_int(ber, va_arg(args, int32_t*));
                break;
            case 'n':
                result = ber_get_null(ber);
                break;
            case 'l':
            case 't': {
                auto* out = va_arg(args, uint32_t*);
                uint32_t length = 0;
                result = ber_peek_tag(ber, &length);
                if (result != BER_ERROR)
                    *out = *f == 'l' ? length : result;
                break;
            }
            case 'T': {
                auto* out = va_arg(args, uint32_t*);
                uint32_t length = 0;
                result = ber_skip_tag(ber, &length);
                if (result != BER_ERROR)
                    *out = result;
                break;
            }
            case 'x': {
                uint32_t length = 0;
                result = ber_skip_tag(ber, &length);
                if (result != BER_ERROR)
                    ber->ptr += length; // ber_skip_tag saw the bytes are there
                break;
            }
            case 'v':
                result = readList(*this, ber, va_arg(args, char***), result,
                                  [&](char** slot) { return ber_get_stringa(ber, slot); });
                break;
            case 'V':
                result = readList(*this, ber, va_arg(args, BerValue***), result,
                                  [&](BerValue** slot) { return ber_get_stringal(ber, slot); });
                break;
            case '{':
            case '[':
                if (f[1] == 'v' || f[1] == 'V') {
                    result = entered.enter(ber->end) ? result : BER_ERROR;
                } else {
                    uint32_t length = 0;
                    result = ber_skip_tag(ber, &length);
                    if (result != BER_ERROR && !entered.enter(ber->ptr + length))
                        result = BER_ERROR;
                }
                break;
            case '}':
            case ']':
                entered.leave();
                break;
            default:
                result = BER_ERROR;
                break;
            }
            if (result == BER_ERROR)
                break;
        }
    }

    if (result == BER_ERROR) {
        // Walk the characters up to the failing one again and take back
        // what they produced, so the caller owns nothing.
        for (const char* g = format; *g && g <= f; ++g) {
            switch (*g) {
            case 'a': {
                char** text = va_arg(again, char**);
                ornFree(*text);
                *text = nullptr;
                break;
            }
            case 's':
                (void)va_arg(again, char*);
                (void)va_arg(again, uint32_t*);
                break;
            case 'O': {
                BerValue** value = va_arg(again, BerValue**);
                ber_bvfree(*value);
                *value = nullptr;
                break;
            }
            case 'o': {
                auto* value = va_arg(again, BerValue*);
                ornFree(value->bytes);
                value->bytes = nullptr;
                value->length = 0;
                break;
            }
            case 'B': {
                auto** bytes = va_arg(again, uint8_t**);
                auto* bitCount = va_arg(again, uint32_t*);
                ornFree(*bytes);
                *bytes = nullptr;
                *bitCount = 0;
                break;
            }
            case 'b':
            case 'e':
            case 'i':
            case 'l':
            case 't':
            case 'T':
                (void)va_arg(again, void*);
                break;
            case 'v': {
                char*** strings = va_arg(again, char***);
                ornFreeStrings(*strings);
                *strings = nullptr;
                break;
            }
            case 'V': {
                BerValue*** values = va_arg(again, BerValue***);
                ber_bvecfree(*values);
                *values = nullptr;
                break;
            }
            default:
                break;
            }
        }
    }
    va_end(again);
    va_end(args);
    return result;
}
