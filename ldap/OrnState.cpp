#include "ldap/OrnState.h"

std::mutex ErrorLock;
std::atomic<int32_t> ErrorNo{0};
std::atomic<int32_t> RecvThreadExited{0};
std::atomic<int32_t> MallocCount{0};

void SetErrorNo(int32_t code)
{
    std::lock_guard lock(ErrorLock);
    ErrorNo.store(code, std::memory_order_relaxed);
}

// An atomic increment does the work of the lock here: the counter is only
// ever added to, and it is on the path of every allocation.
void CountMalloc()
{
    MallocCount.fetch_add(1, std::memory_order_relaxed);
}

bool IsRecvThreadExited()
{
    return RecvThreadExited.load() == 1;
}

void ResetLibraryState()
{
    std::lock_guard lock(ErrorLock);
    ErrorNo.store(0);
    RecvThreadExited.store(0);
    MallocCount.store(0);
}
