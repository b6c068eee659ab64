// A loopback port that never answers. Silent: a connect waits until its
// caller gives up, because the listener never accepts, its queue is full,
// and the kernel drops the SYNs that reach a listener with a full accept
// queue. Deaf: the connect succeeds (the kernel queues it), but nothing
// ever reads, so a sender blocks once the buffers between are full.
//
// Header-only, like FakeDesktop.h.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

class UnansweredPort {
public:
    enum class Mode { Silent, Deaf };

    explicit UnansweredPort(Mode mode = Mode::Silent)
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        socklen_t size = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0
            || ::listen(listener_, 0) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        // A backlog of 0 still queues one connection; these fill the queue.
        for (int i = 0; mode == Mode::Silent && i < 3; ++i) {
            int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            fillers_.push_back(fd);
        }
        port_ = ntohs(address.sin_port);
    }
    ~UnansweredPort()
    {
        for (int fd : fillers_)
            ::close(fd);
        if (listener_ >= 0)
            ::close(listener_);
    }
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;

    // 0 when the port could not be set up.
    uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    std::vector<int> fillers_;
    uint16_t port_ = 0;
};
