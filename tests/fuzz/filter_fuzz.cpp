// Any text as a search filter: the compiler must refuse or encode it, and
// never leave the text changed.
#include "ldap/OrnQuery.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string filter(reinterpret_cast<const char*>(data), size);
    filter = filter.c_str(); // the compiler sees text up to the first zero byte
    const std::string before = filter;
    BerBuffer* ber = nullptr;
    OrnSearch("dc=example", filter.c_str(), nullptr, 0, 2, 0, 0, 0, BER_MINIMAL_LENGTHS, &ber, 1);
    if (filter != before)
        std::abort();
    if (ber)
        BerCodec().ber_free(ber, 1);
    return 0;
}
