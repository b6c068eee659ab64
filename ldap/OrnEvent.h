// Waitable events in place of the desktop's event objects.
//
// OrnEvent: a latched flag with a condition variable, for a thread that waits
// in user space (a caller waiting for a response). set() wakes every waiter;
// wait() returns once the event is set and clears it again, so a waiter
// blocks until the next set() instead of spinning; waitFor() gives up after
// a time and says whether the event came.
//
// OrnWakeDescriptor: an eventfd, for a thread that waits in poll() beside a
// socket (the receive thread asked to end). Once signalled it stays readable
// until reset(). signalled() reads a flag kept beside the descriptor, so a
// thread that is busy reading can look at it often without a system call.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

class OrnEvent {
public:
    void set();
    void reset();
    void wait();
    // milliseconds < 0 waits without end.
    bool waitFor(int milliseconds);
    bool isSet() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

class OrnWakeDescriptor {
public:
    OrnWakeDescriptor() = default;
    ~OrnWakeDescriptor();
    OrnWakeDescriptor(const OrnWakeDescriptor&) = delete;
    OrnWakeDescriptor& operator=(const OrnWakeDescriptor&) = delete;

    bool create();   // false when no descriptor can be made
    void close();
    bool valid() const { return fd_ >= 0; }
    bool signal();   // false when the descriptor cannot be written
    void reset();
    bool signalled() const;
    int fd() const { return fd_; }

private:
    int fd_ = -1;
    std::atomic<bool> raised_{false};
};
