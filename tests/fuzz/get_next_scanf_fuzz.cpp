// The first byte picks where the input is split and which ber_scanf format
// takes the message apart; the rest arrives in two pieces through
// ber_get_next, as it would from a socket.
#include "ldap/Ber.h"
#include "ldap/OrnAlloc.h"

#include <cstddef>
#include <cstdint>

namespace {

void takeApart(BerCodec& codec, BerBuffer* ber, uint8_t choice)
{
    int32_t number = 0;
    int flag = 0;
    uint32_t word = 0;
    uint32_t size = 16;
    char small[16];
    char* text = nullptr;
    char* other = nullptr;
    BerValue* value = nullptr;
    BerValue counted{};
    BerValue** values = nullptr;
    char** strings = nullptr;
    uint8_t* bits = nullptr;
    switch (choice % 8) {
    case 0:
        codec.ber_scanf(ber, "{iaa}", &number, &text, &other);
        break;
    case 1:
        codec.ber_scanf(ber, "{x{{sx}", small, &size);
        break;
    case 2:
        codec.ber_scanf(ber, "{a{v}}", &text, &strings);
        break;
    case 3:
        codec.ber_scanf(ber, "{O[V]}", &value, &values);
        break;
    case 4:
        codec.ber_scanf(ber, "{oB}", &counted, &bits, &word);
        break;
    case 5:
        codec.ber_scanf(ber, "ltTbn", &word, &word, &word, &flag);
        break;
    case 6:
        codec.ber_scanf(ber, "{e}x{i}", &number, &number);
        break;
    default:
        codec.ber_scanf(ber, "[[a]v]", &text, &strings);
        break;
    }
    ornFree(text);
    ornFree(other);
    codec.ber_bvfree(value);
    ornFree(counted.bytes);
    codec.ber_bvecfree(values);
    ornFreeStrings(strings);
    ornFree(bits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t choice = data[0];
    ++data;
    --size;
    const size_t split = size == 0 ? 0 : choice % (size + 1);

    BerCodec codec;
    BerBuffer ber;
    codec.ber_init(&ber, BER_MINIMAL_LENGTHS);
    BerSource source;
    codec.ber_init(&source, 0);
    source.buf = source.ptr = const_cast<uint8_t*>(data);
    source.end = source.ptr + split;
    uint32_t length = 0;
    uint32_t tag = codec.ber_get_next(&source, &length, &ber);
    if (tag == BER_ERROR) {
        source.end = const_cast<uint8_t*>(data) + size;
        tag = codec.ber_get_next(&source, &length, &ber);
    }
    if (tag != BER_ERROR)
        takeApart(codec, &ber, static_cast<uint8_t>(choice >> 3));
    ornFree(ber.buf);
    return 0;
}
