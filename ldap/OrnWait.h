// Waits on the server that a caller can watch and end.
//
// A caller that must not freeze (a window's thread) gives the service an
// OrnWaitHook. A call that then waits for the server (the connect, a send
// the server does not take, a response) sleeps in slices of kWaitSliceMs
// and asks the hook after each slice in which nothing came whether to go
// on. Without a hook a wait blocks until it is over or its time limit ends.
#pragma once

#include <chrono>
#include <cstdint>

class OrnWaitHook {
public:
    // waitedMs: how long this call has waited so far. False ends the wait.
    virtual bool goOn(int32_t waitedMs) = 0;
    // The call that asked goOn has stopped waiting, for whatever reason.
    virtual void waitEnded() = 0;

protected:
    ~OrnWaitHook() = default;
};

inline constexpr int kWaitSliceMs = 50;

// One call's wait on the server, from its first sleep to its end.
class OrnWaiting {
public:
    explicit OrnWaiting(OrnWaitHook* hook) : hook_(hook) { }
    ~OrnWaiting();
    OrnWaiting(const OrnWaiting&) = delete;
    OrnWaiting& operator=(const OrnWaiting&) = delete;

    // How long the next sleep may last: a slice with a hook; -1 (no end) without.
    int sliceMs() const { return hook_ ? kWaitSliceMs : -1; }
    // After a sleep: false once the hook has cancelled the wait.
    bool goOn();

private:
    OrnWaitHook* hook_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    bool asked_ = false;
};
