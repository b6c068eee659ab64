// Bytes the process holds on the heap right now, to show that a call left
// nothing allocated: compare before and after. Only the address-sanitizer
// build can count them exactly (glibc's own statistics count cached free
// blocks as used); elsewhere this reads 0 and the comparisons hold
// trivially, and the sanitizer build is where they are made.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
inline std::size_t liveHeapBytes()
{
    return __sanitizer_get_current_allocated_bytes();
}
#else
inline std::size_t liveHeapBytes()
{
    return 0;
}
#endif
