// What the heap holds. heapInUse is exact under a sanitizer; elsewhere it is
// glibc's count, which takes cached free blocks as used: good enough to tell
// megabytes from gigabytes. liveHeapBytes, to show that a call left nothing
// allocated, is exact in the address-sanitizer build, where those
// comparisons are made, and 0 elsewhere, where they hold trivially.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
inline std::size_t heapInUse()
{
    return __sanitizer_get_current_allocated_bytes();
}
#else
#include <malloc.h>
inline std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
#endif

inline std::size_t liveHeapBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return heapInUse();
#else
    return 0;
#endif
}
