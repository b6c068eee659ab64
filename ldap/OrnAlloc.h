// The library's one allocator. Everything the library hands to a caller
// (strings and arrays from ber_scanf, DN copies, result records) comes from
// here and is released with ornFree, so callers never mix allocators.
// Each successful allocation is counted in MallocCount.
#pragma once

#include <cstddef>

void* ornMalloc(std::size_t size);
void* ornCalloc(std::size_t count, std::size_t size);
void* ornRealloc(void* block, std::size_t size);
void ornFree(void* block);
char* ornStrndup(const char* text, std::size_t length);
// Frees a null-terminated array of strings (ber_scanf's "v") and its strings.
void ornFreeStrings(char** strings);

// Test seam: the n-th allocation from now (0 = the next one) fails, and
// every one after it succeeds again. A negative n switches failures off.
void ornFailAllocationAt(long n);
