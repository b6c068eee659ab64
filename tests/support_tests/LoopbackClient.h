// A bare TCP client for checking the test servers byte by byte.
#pragma once

#include "tests/support/Bytes.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <stdexcept>

class LoopbackClient {
public:
    // What one read saw.
    struct Read {
        Bytes bytes;
        bool closed = false; // orderly end of stream
        bool reset = false; // ECONNRESET
        bool timedOut = false;
    };

    explicit LoopbackClient(uint16_t port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0 || !connectTo(fd_, port)) {
            if (fd_ >= 0)
                ::close(fd_);
            throw std::runtime_error("cannot connect to port " + std::to_string(port));
        }
    }
    ~LoopbackClient() { ::close(fd_); }
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    static bool accepts(uint16_t port)
    {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bool ok = fd >= 0 && connectTo(fd, port);
        if (fd >= 0)
            ::close(fd);
        return ok;
    }

    void send(const Bytes& bytes)
    {
        if (::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("send failed");
    }

    // One recv of whatever has arrived, waiting at most timeout for it.
    Read readOnce(std::chrono::milliseconds timeout)
    {
        Read result;
        pollfd p { fd_, POLLIN, 0 };
        if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) {
            result.timedOut = true;
            return result;
        }
        uint8_t buffer[4096];
        ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n > 0)
            result.bytes.assign(buffer, buffer + n);
        else if (n == 0)
            result.closed = true;
        else
            result.reset = errno == ECONNRESET;
        return result;
    }

    // Reads until count bytes, the end of the stream or the timeout.
    Read read(size_t count, std::chrono::milliseconds timeout)
    {
        Read all;
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (all.bytes.size() < count) {
            auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            Read once = readOnce(left.count() > 0 ? left : std::chrono::milliseconds(0));
            all.bytes.insert(all.bytes.end(), once.bytes.begin(), once.bytes.end());
            if (once.closed || once.reset || once.timedOut) {
                all.closed = once.closed;
                all.reset = once.reset;
                all.timedOut = once.timedOut;
                break;
            }
        }
        return all;
    }

private:
    static bool connectTo(int fd, uint16_t port)
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }

    int fd_ = -1;
};
