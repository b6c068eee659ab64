// A double-ended queue of element pointers with its own lock, filled by the
// receive thread and emptied by the caller's thread. Once the receive thread
// has ended (RecvThreadExited), appends are refused and taking reports
// RECV_THREAD_TERMINATED, so a caller learns of the end at its next look.
// The queue never owns its elements: whoever takes one frees it.
#pragma once

#include "OrnCodes.h"
#include "OrnState.h"
#include "OrnTrace.h"

#include <deque>
#include <mutex>

template <typename T>
class OrnQueue {
public:
    OrnQueue()
    {
        ornTrace("OrnQueue:OrnQueue: Function Start:\n");
        ornTrace("OrnQueue:OrnQueue: Function End:\n");
    }
    ~OrnQueue()
    {
        ornTrace("OrnQueue:~OrnQueue: Function Start:\n");
        ornTrace("OrnQueue:~OrnQueue: Function End:\n");
    }
    OrnQueue(const OrnQueue&) = delete;
    OrnQueue& operator=(const OrnQueue&) = delete;

    void OrnEnque(T* element)
    {
        ornTrace("OrnQueue:OrnEnque: Function Start:\n");
        if (IsRecvThreadExited())
            return;
        {
            std::lock_guard lock(mutex_);
            elements_.push_back(element);
        }
        ornTrace("OrnQueue:OrnEnque: Function End:\n");
    }

    bool OrnIsEntry()
    {
        ornTrace("OrnQueue:OrnIsEntry: Function Start:\n");
        if (IsRecvThreadExited())
            return true;
        std::lock_guard lock(mutex_);
        if (elements_.empty())
            return false;
        ornTrace("OrnQueue:OrnIsEntry: Function End:\n");
        return true;
    }

    int32_t OrnDeque(T** element)
    {
        ornTrace("OrnQueue:OrnDeque: Function Start:\n");
        if (IsRecvThreadExited())
            return RECV_THREAD_TERMINATED;
        {
            std::lock_guard lock(mutex_);
            if (elements_.empty())
                return RECV_THREAD_TERMINATED; // callers ask OrnIsEntry first
            *element = elements_.front();
            elements_.pop_front();
        }
        ornTrace("OrnQueue:OrnDeque: Function End:\n");
        return 0;
    }

    // Takes every element left, for the owner to free: at the end of a
    // connection, after the receive thread has ended.
    template <typename Free>
    void drain(Free&& free)
    {
        std::lock_guard lock(mutex_);
        for (T* element : elements_)
            free(element);
        elements_.clear();
    }

private:
    std::mutex mutex_;
    std::deque<T*> elements_;
};
