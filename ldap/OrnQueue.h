// A double-ended queue of element pointers with its own lock, filled by the
// receive thread and emptied by the caller's thread. Once the receive thread
// has ended (RecvThreadExited), appends are refused; what it queued before
// is still taken, and only an empty queue reports RECV_THREAD_TERMINATED,
// so a caller gets every message that arrived before it learns of the end.
// The queue never owns its elements: whoever takes one frees it.
#pragma once

#include "ldap/OrnCodes.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"

#include <deque>
#include <mutex>

// OrnDeque on an empty queue whose filler still runs; not a library code.
constexpr int32_t kQueueEmpty = 1;

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

    // True when an element waits, or when none ever will (the thread has
    // ended), so that the following OrnDeque reports the end.
    bool OrnIsEntry()
    {
        ornTrace("OrnQueue:OrnIsEntry: Function Start:\n");
        // The flag is read before the queue: every append happened before
        // it was raised, so an empty queue behind a raised flag stays empty.
        const bool ended = IsRecvThreadExited();
        std::lock_guard lock(mutex_);
        if (elements_.empty())
            return ended;
        ornTrace("OrnQueue:OrnIsEntry: Function End:\n");
        return true;
    }

    // 0 with the front element; kQueueEmpty while the thread may still
    // append; RECV_THREAD_TERMINATED once it has ended and nothing is left.
    int32_t OrnDeque(T** element)
    {
        ornTrace("OrnQueue:OrnDeque: Function Start:\n");
        const bool ended = IsRecvThreadExited();
        {
            std::lock_guard lock(mutex_);
            if (elements_.empty())
                return ended ? RECV_THREAD_TERMINATED : kQueueEmpty;
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
