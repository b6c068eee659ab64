// A BerBuffer being written, freed with its bytes when the test is done, and
// one reading a message it keeps.
#pragma once

#include "ldap/Ber.h"
#include "tests/support/Bytes.h"

#include <utility>

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

// The buffer does not own the bytes, as with a received message.
class Reader {
public:
    explicit Reader(Bytes bytes)
        : data(std::move(bytes))
    {
        codec.ber_init(&ber, 0);
        ber.buf = ber.ptr = data.data();
        ber.end = data.data() + data.size();
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    std::size_t offset() const { return static_cast<std::size_t>(ber.ptr - ber.buf); }
    bool endRestored() const { return ber.end == data.data() + data.size(); }

    Bytes data;
    BerCodec codec;
    BerBuffer ber;
};
