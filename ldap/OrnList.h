// A list of element pointers, looked up by their message id. OrnAdd takes
// the list's lock; every other call runs on the caller's thread, the only
// one that touches the list. The list never owns its elements: whoever
// removes one frees it.
#pragma once

#include "ldap/OrnCodes.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"

#include <cstdint>
#include <list>
#include <mutex>

template <typename T>
class OrnList {
public:
    OrnList()
    {
        ornTrace("OrnList:OrnList: Function Start:\n");
        ornTrace("OrnList:OrnList: Function End:\n");
    }
    ~OrnList()
    {
        ornTrace("OrnList:~OrnList: Function Start:\n");
        std::lock_guard lock(mutex_);
        elements_.clear();
        ornTrace("OrnList:~OrnList: Function End:\n");
    }
    OrnList(const OrnList&) = delete;
    OrnList& operator=(const OrnList&) = delete;

    void OrnAdd(T* element)
    {
        ornTrace("OrnList:OrnAdd: Function Start:\n");
        // No refusal once the receive thread has ended: a fast server's
        // answer may be queued already, before the request is saved.
        {
            std::lock_guard lock(mutex_);
            elements_.push_back(element);
        }
        ornTrace("OrnList:OrnAdd: Function End:\n");
    }

    // The first element with this message id, or null.
    T* OrnIsEntry(int32_t msgid)
    {
        T* found = nullptr;
        for (T* element : elements_) {
            if (element->msgid == msgid) {
                found = element;
                break;
            }
        }
        ornTrace("OrnList:OrnIsEntry: Function End:\n");
        return found;
    }

    // Unlinks the first element with this id and hands it back, or null.
    T* remove(int32_t msgid)
    {
        for (auto it = elements_.begin(); it != elements_.end(); ++it) {
            if ((*it)->msgid == msgid) {
                T* element = *it;
                elements_.erase(it);
                return element;
            }
        }
        return nullptr;
    }

    template <typename Free>
    void removeAll(Free&& free)
    {
        for (T* element : elements_)
            free(element);
        elements_.clear();
    }

private:
    std::mutex mutex_;
    std::list<T*> elements_;
};
