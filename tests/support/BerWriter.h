// A BerBuffer being written, freed with its bytes when the test is done.
#pragma once

#include "ldap/Ber.h"
#include "tests/support/Bytes.h"

class Writer {
public:
    explicit Writer(uint8_t options = BER_MINIMAL_LENGTHS)
        : ber(codec.ber_alloc(options))
    {
    }
    ~Writer() { codec.ber_free(ber, 1); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    Bytes bytes() const { return ber->buf ? Bytes(ber->buf, ber->ptr) : Bytes {}; }
    std::size_t capacity() const { return ber->buf ? static_cast<std::size_t>(ber->end - ber->buf) : 0; }

    BerCodec codec;
    BerBuffer* ber;
};
