#include "ldap/OrnEvent.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

void OrnEvent::set()
{
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    changed_.notify_all();
}

void OrnEvent::reset()
{
    std::lock_guard lock(mutex_);
    set_ = false;
}

void OrnEvent::wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return set_; });
    set_ = false;
}

bool OrnEvent::waitFor(int milliseconds)
{
    if (milliseconds < 0) {
        wait();
        return true;
    }
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return set_; }))
        return false;
    set_ = false;
    return true;
}

bool OrnEvent::isSet() const
{
    std::lock_guard lock(mutex_);
    return set_;
}

OrnWakeDescriptor::~OrnWakeDescriptor()
{
    close();
}

bool OrnWakeDescriptor::create()
{
    close();
    fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return fd_ >= 0;
}

void OrnWakeDescriptor::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    raised_.store(false);
}

bool OrnWakeDescriptor::signal()
{
    if (fd_ < 0)
        return false;
    // The flag first: a poller woken by the descriptor must also see it.
    raised_.store(true);
    const uint64_t one = 1;
    for (;;) {
        if (::write(fd_, &one, sizeof one) == sizeof one)
            return true;
        if (errno == EAGAIN)
            return true; // the counter is full, so the descriptor is readable already
        if (errno != EINTR)
            return false;
    }
}

void OrnWakeDescriptor::reset()
{
    if (fd_ < 0)
        return;
    raised_.store(false);
    uint64_t count;
    while (::read(fd_, &count, sizeof count) < 0 && errno == EINTR) { }
}

bool OrnWakeDescriptor::signalled() const
{
    return raised_.load();
}
