// ber_get_next: one complete message out of a byte area, resumable.
#include "ldap/Ber.h"
#include "ldap/BerHeader.h"

#include "ldap/OrnAlloc.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t available(const BerSource* source)
{
    return source->ptr < source->end ? static_cast<std::size_t>(source->end - source->ptr) : 0;
}

std::size_t wholeSize(const BerBuffer* ber)
{
    return static_cast<std::size_t>(ber->ptr - ber->buf) + ber->len;
}

// Room for `needed` bytes. The area doubles, so a message of many megabytes
// is not copied over and over, but never past the whole message nor past
// twice what has arrived: an announced length alone costs nothing.
bool reserve(BerBuffer* ber, std::size_t needed)
{
    const std::size_t capacity = static_cast<std::size_t>(ber->end - ber->buf);
    if (needed <= capacity)
        return true;
    const std::size_t doubled = capacity + std::min(capacity, wholeSize(ber) - capacity);
    const std::size_t size = std::max(needed, doubled);
    const std::size_t header = static_cast<std::size_t>(ber->ptr - ber->buf);
    const std::size_t filled = static_cast<std::size_t>(ber->fill - ber->buf);
    auto* area = static_cast<uint8_t*>(ornRealloc(ber->buf, size));
    if (!area)
        return false;
    ber->buf = area;
    ber->ptr = area + header;
    ber->fill = area + filled;
    ber->end = area + size;
    return true;
}

} // namespace

uint32_t BerCodec::ber_get_next(BerSource* source, uint32_t* length, BerBuffer* ber)
{
    auto stop = [this](BerNext why) {
        next_status = why;
        return BER_ERROR;
    };
    if (!ber->fill) {
        // A header is taken whole or not at all, so the caller need only
        // keep the untaken bytes and present them again with what follows.
        uint8_t* const headerStart = source->ptr;
        uint32_t tag = 0;
        uint32_t contentLength = 0;
        const BerHeader header = berReadHeader(source, &tag, &contentLength);
        if (header != BerHeader::Read) {
            source->ptr = headerStart;
            return stop(header == BerHeader::Short ? BerNext::NeedMore : BerNext::NotBer);
        }
        if (contentLength == 0)
            return stop(BerNext::Empty);
        const auto headerSize = static_cast<std::size_t>(source->ptr - headerStart);
        // The whole element's size must fit the 32-bit sizes it is handed on in.
        if (contentLength > UINT32_MAX - headerSize) {
            source->ptr = headerStart;
            return stop(BerNext::NotBer);
        }
        const std::size_t first = headerSize + std::min<std::size_t>(available(source), contentLength);
        auto* area = static_cast<uint8_t*>(ornMalloc(first));
        if (!area) {
            source->ptr = headerStart;
            return stop(BerNext::NoMemory);
        }
        // The header is copied with the contents that follow it, below.
        source->ptr = headerStart;
        ber->tag = tag;
        ber->len = contentLength;
        *length = contentLength;
        ber->buf = ber->fill = area;
        ber->ptr = area + headerSize;
        ber->end = area + first;
    }

    const std::size_t filled = static_cast<std::size_t>(ber->fill - ber->buf);
    const std::size_t wanted = wholeSize(ber) - filled;
    const std::size_t n = std::min(wanted, available(source));
    if (n > 0) {
        if (!reserve(ber, filled + n))
            return stop(BerNext::NoMemory);
        std::memcpy(ber->fill, source->ptr, n);
        ber->fill += n;
        source->ptr += n;
    }
    if (n < wanted)
        return stop(BerNext::NeedMore);

    *length = ber->len;
    ber->end = ber->fill;
    ber->fill = nullptr;
    next_status = BerNext::Message;
    return ber->tag;
}

uint32_t BerCodec::ber_next_room(BerBuffer* ber, uint32_t count)
{
    if (!ber->fill)
        return 0;
    const std::size_t filled = static_cast<std::size_t>(ber->fill - ber->buf);
    const std::size_t missing = wholeSize(ber) - filled;
    if (!reserve(ber, filled + std::min<std::size_t>(count, missing))) {
        next_status = BerNext::NoMemory;
        return 0;
    }
    return static_cast<uint32_t>(std::min(static_cast<std::size_t>(ber->end - ber->fill), missing));
}
