// Process-wide library state shared by the calling thread and the receive
// thread: the library error number, the receive-thread-ended flag and the
// allocation counter. ErrorNo is stored under ErrorLock; reads take no lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

extern std::mutex ErrorLock;
extern std::atomic<int32_t> ErrorNo;
extern std::atomic<int32_t> RecvThreadExited;
extern std::atomic<int32_t> MallocCount;

void SetErrorNo(int32_t code);
void CountMalloc();
bool IsRecvThreadExited();
// Back to the state of a fresh connection: no error, thread running, no allocations.
void ResetLibraryState();
