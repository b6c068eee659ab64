// What a search's result code says about the entries it handed out. The
// library hands out every entry that arrived, with the server's code.
#pragma once

#include <cstdint>

inline constexpr int32_t kTimeLimitExceeded = 3;
inline constexpr int32_t kSizeLimitExceeded = 4;
inline constexpr int32_t kAdminLimitExceeded = 11;
inline constexpr int32_t kNoSuchObject = 32;

// A limit stopped the search: the entries that arrived are sound, but they
// are not all there are.
inline bool CutShort(int32_t code)
{
    return code == kTimeLimitExceeded || code == kSizeLimitExceeded || code == kAdminLimitExceeded;
}
