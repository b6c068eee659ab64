#include "ldap/OrnAlloc.h"

#include "ldap/OrnState.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {
std::atomic<long> allocationsUntilFailure{-1};

bool injectedFailure()
{
    if (allocationsUntilFailure.load(std::memory_order_relaxed) < 0)
        return false;
    return allocationsUntilFailure.fetch_sub(1) == 0;
}
} // namespace

void ornFailAllocationAt(long n)
{
    allocationsUntilFailure.store(n);
}

void* ornMalloc(std::size_t size)
{
    if (injectedFailure())
        return nullptr;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block)
        CountMalloc();
    return block;
}

void* ornCalloc(std::size_t count, std::size_t size)
{
    if (injectedFailure())
        return nullptr;
    void* block = std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
    if (block)
        CountMalloc();
    return block;
}

void* ornRealloc(void* block, std::size_t size)
{
    if (injectedFailure())
        return nullptr;
    void* moved = std::realloc(block, size == 0 ? 1 : size);
    if (moved)
        CountMalloc();
    return moved;
}

void ornFree(void* block)
{
    std::free(block);
}

char* ornStrndup(const char* text, std::size_t length)
{
    auto* copy = static_cast<char*>(ornMalloc(length + 1));
    if (copy) {
        std::memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

void ornFreeStrings(char** strings)
{
    if (!strings)
        return;
    for (char** text = strings; *text; ++text)
        ornFree(*text);
    ornFree(strings);
}
