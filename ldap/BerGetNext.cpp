// ber_get_next: one complete message out of a byte area, resumable.
#include "Ber.h"

#include "OrnAlloc.h"

#include <algorithm>
#include <cstring>

uint32_t berReadTag(BerBuffer* ber);
bool berReadLength(BerBuffer* ber, uint32_t* length);

namespace {

std::size_t available(const BerSource* source)
{
    return source->ptr < source->end ? static_cast<std::size_t>(source->end - source->ptr) : 0;
}

// Grows the contents area to exactly `needed` bytes: it never holds more
// than the bytes actually received, so a hostile length costs nothing until
// its bytes arrive.
bool reserveContents(BerBuffer* ber, std::size_t needed)
{
    const std::size_t capacity = static_cast<std::size_t>(ber->end - ber->buf);
    if (needed <= capacity)
        return true;
    const std::size_t size = needed;
    const std::size_t filled = static_cast<std::size_t>(ber->fill - ber->buf);
    auto* area = static_cast<uint8_t*>(ornRealloc(ber->buf, size));
    if (!area)
        return false;
    ber->buf = ber->ptr = area;
    ber->fill = area + filled;
    ber->end = area + size;
    return true;
}

} // namespace

uint32_t BerCodec::ber_get_next(BerSource* source, uint32_t* length, BerBuffer* ber)
{
    if (!ber->fill) {
        // A header that has not fully arrived is left in the source untaken.
        uint8_t* headerStart = source->ptr;
        uint32_t contentLength = 0;
        const uint32_t tag = berReadTag(source);
        if (tag == BER_ERROR || !berReadLength(source, &contentLength)) {
            source->ptr = headerStart;
            return BER_ERROR;
        }
        // Empty contents can hold no message: nothing is read or kept.
        if (contentLength == 0)
            return BER_ERROR;
        const std::size_t first = std::clamp<std::size_t>(available(source), 1, contentLength);
        auto* area = static_cast<uint8_t*>(ornMalloc(first));
        if (!area) {
            // Keep the header in the source so that a retry reads it again.
            source->ptr = headerStart;
            return BER_ERROR;
        }
        ber->tag = tag;
        ber->len = contentLength;
        *length = contentLength;
        ber->buf = ber->ptr = ber->fill = area;
        ber->end = area + first;
    }

    const std::size_t filled = static_cast<std::size_t>(ber->fill - ber->buf);
    const std::size_t wanted = ber->len - filled;
    const std::size_t n = std::min(wanted, available(source));
    if (n > 0) {
        if (!reserveContents(ber, filled + n))
            return BER_ERROR;
        std::memcpy(ber->fill, source->ptr, n);
        ber->fill += n;
        source->ptr += n;
    }
    if (n < wanted)
        return BER_ERROR; // the read stays in progress

    *length = ber->len;
    ber->fill = nullptr;
    ber->end = ber->buf + ber->len;
    return ber->tag;
}
