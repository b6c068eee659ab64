// Buffer operations of the BER codec: allocation, raw reads and writes,
// growth in whole blocks.
#include "ldap/Ber.h"

#include "ldap/OrnAlloc.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t kNoMemory = 90; // the LDAP client code for lack of memory

std::size_t offsetOf(const BerBuffer* ber, const uint8_t* position)
{
    return ber->buf ? static_cast<std::size_t>(position - ber->buf) : 0;
}

// Room for n more bytes: whole blocks, at least one, added to the whole
// blocks already there. Open elements hold offsets, so only ptr is shifted.
bool growBy(BerBuffer* ber, std::size_t n)
{
    std::size_t have = ber->buf ? static_cast<std::size_t>(ber->end - ber->buf) / BER_BLOCK_SIZE : 0;
    std::size_t need = n < BER_BLOCK_SIZE ? 1 : (n + BER_BLOCK_SIZE - 1) / BER_BLOCK_SIZE;
    std::size_t size = (have + need) * BER_BLOCK_SIZE;
    if (size > UINT32_MAX)
        return false;
    std::size_t ptrOffset = offsetOf(ber, ber->ptr);
    auto* area = static_cast<uint8_t*>(ornRealloc(ber->buf, size));
    if (!area)
        return false;
    ber->buf = area;
    ber->ptr = area + ptrOffset;
    ber->end = area + size;
    return true;
}

} // namespace

int32_t berWriteParts(BerBuffer* ber, const void* first, uint32_t firstCount, const void* second,
                      uint32_t secondCount, int ignore_open);

// Makes the area reach the offset limit, growing by n bytes at a time.
bool berEnsureRoom(BerBuffer* ber, std::size_t limit, std::size_t n)
{
    while (offsetOf(ber, ber->end) < limit)
        if (!growBy(ber, n))
            return false;
    return true;
}

BerBuffer* BerCodec::ber_alloc(uint8_t options)
{
    auto* ber = static_cast<BerBuffer*>(ornMalloc(sizeof(BerBuffer)));
    if (ber)
        ber_init(ber, options);
    return ber;
}

BerBuffer* BerCodec::ldap_alloc_ber_with_options(uint8_t options)
{
    BerBuffer* ber = ber_alloc(options);
    if (!ber)
        error_number = kNoMemory;
    return ber;
}

void BerCodec::ber_init(BerBuffer* ber, uint8_t options)
{
    *ber = BerBuffer{};
    ber->tag = BER_ERROR;
    ber->options = options;
}

void BerCodec::ber_set_options(uint8_t options, BerBuffer* ber)
{
    ber->options = options;
}

void BerCodec::ber_free(BerBuffer* ber, int free_bytes)
{
    if (!ber)
        return;
    for (BerOpenElement** list : {&ber->open, &ber->spare}) {
        while (BerOpenElement* element = *list) {
            *list = element->enclosing;
            ornFree(element);
        }
    }
    if (free_bytes && ber->buf)
        ornFree(ber->buf);
    ornFree(ber);
}

uint32_t BerCodec::ber_read(BerBuffer* ber, void* destination, uint32_t count)
{
    std::size_t left = ber->buf ? static_cast<std::size_t>(ber->end - ber->ptr) : 0;
    auto n = static_cast<uint32_t>(std::min<std::size_t>(count, left));
    if (n > 0) {
        std::memcpy(destination, ber->ptr, n);
        ber->ptr += n;
    }
    return n;
}

int32_t BerCodec::ber_write(BerBuffer* ber, const void* source, uint32_t count, int ignore_open)
{
    return berWriteParts(ber, source, count, nullptr, 0, ignore_open);
}

// One write of two pieces (an element's header and its contents), so the
// room is checked and the position moved once.
int32_t berWriteParts(BerBuffer* ber, const void* first, uint32_t firstCount, const void* second,
                      uint32_t secondCount, int ignore_open)
{
    const std::size_t count = std::size_t{firstCount} + secondCount;
    if (count > INT32_MAX)
        return -1;
    BerOpenElement* into = ignore_open ? nullptr : ber->open;
    const std::size_t at = into ? into->wpos : offsetOf(ber, ber->ptr);
    if (at + count > offsetOf(ber, ber->end) && !berEnsureRoom(ber, at + count, count))
        return -1;
    if (firstCount > 0)
        std::memcpy(ber->buf + at, first, firstCount);
    if (secondCount > 0)
        std::memcpy(ber->buf + at + firstCount, second, secondCount);
    if (into) {
        into->wpos += count;
        into->content_len += static_cast<uint32_t>(count);
    } else {
        ber->ptr = ber->buf + at + count;
    }
    return static_cast<int32_t>(count);
}
