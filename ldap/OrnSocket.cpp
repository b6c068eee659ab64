#include "ldap/OrnSocket.h"

#include "ldap/OrnCodes.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"
#include "ldap/OrnWait.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

OrnSocket::OrnSocket() = default;

OrnSocket::~OrnSocket()
{
    ornTrace("OrnSocket:Ornsocket destructor entry:\n");
    if (connected_ && OrnDisconnect() == 0)
        connected_ = 0;
    // A failed shutdown still must not leak the descriptor.
    closeSocket();
    ornTrace("OrnSocket:Ornsocket destructor exit:\n");
}

void OrnSocket::closeSocket()
{
    tls_.drop();
    trusted_ = true;
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
}

// There is no socket layer to start on POSIX, and the socket is made in
// OrnConnect, once the address family is known. What is left is to drop the
// socket of an earlier connection that the service left to the server's close.
int32_t OrnSocket::OrnInitialiseSocket()
{
    ornTrace("OrnSocket:OrnInitialiseSocket: Function Start:\n");
    started_ = 1;
    closeSocket();
    connected_ = 0;
    ornTrace("OrnSocket: OrnInitialiseSocket: Function End:\n");
    return 0;
}

namespace {

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList()
    {
        if (head)
            ::freeaddrinfo(head);
    }
};

// A literal address needs no resolver; anything else is looked up by name.
int resolve(const char* host, uint16_t port, AddressList& list)
{
    char service[8];
    std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    if (::getaddrinfo(host, service, &hints, &list.head) == 0)
        return 0;
    list.head = nullptr;
    hints.ai_flags = AI_NUMERICSERV;
    int result = ::getaddrinfo(host, service, &hints, &list.head);
    if (result != 0)
        list.head = nullptr;
    return result;
}

// Connects fd, waiting at most until the deadline: 0, or the errno of the
// failure (ETIMEDOUT when the deadline passed, ECANCELED when the caller
// ended the wait). A blocking connect bounded by SO_SNDTIMEO succeeds once
// the handshake is done, as a plain one does, even when the peer resets the
// connection right after it. Called again while the handshake is under way
// it goes on waiting for it, so the wait can be cut into slices.
int connectWithin(int fd, const addrinfo& address, std::chrono::steady_clock::time_point deadline,
                  OrnWaiting& waiting)
{
    for (;;) {
        auto slice = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (slice <= 0)
            return ETIMEDOUT;
        if (waiting.sliceMs() >= 0)
            slice = std::min<long long>(slice, waiting.sliceMs() * 1000LL);
        // A zero timeval would mean no limit at all.
        const timeval limit { static_cast<time_t>(slice / 1000000),
                              static_cast<suseconds_t>(std::max<long long>(slice % 1000000, 1)) };
        if (::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) != 0)
            return errno;
        if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0 || errno == EISCONN) {
            const timeval none {};
            ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &none, sizeof none);
            return 0;
        }
        if (errno == EINTR)
            continue;
        if (errno != EINPROGRESS && errno != EALREADY && errno != EAGAIN)
            return errno;
        if (!waiting.goOn())
            return ECANCELED;
    }
}

} // namespace

int32_t OrnSocket::OrnConnect(const char* host, uint32_t port, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    ornTrace("OrnSocket:OrnConnect: Function Start:\n");
    if (host == nullptr) {
        ornTrace("OrnSocket:OrnConnect: InvalidInput:\n");
        return INVALID_INPUT;
    }
    AddressList addresses;
    if (int failure = resolve(host, static_cast<uint16_t>(port & 0xFFFF), addresses); failure != 0) {
        ornTracef("OrnSocket:OrnConnect: gethostbyname:ErrCode = %d\n", failure == EAI_SYSTEM ? errno : failure);
        return ORN_SOCKET_ERROR;
    }

    closeSocket();
    connected_ = 0;

    // Each address in turn: "localhost" may name ::1 first while the server
    // listens on 127.0.0.1 only.
    OrnWaiting waiting(waitHook_);
    int socketError = 0;
    int connectError = 0;
    for (addrinfo* address = addresses.head; address && socket_ < 0 && connectError != ECANCELED;
         address = address->ai_next) {
        int fd = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd < 0) {
            socketError = errno;
            continue;
        }
        const int error = connectWithin(fd, *address, deadline, waiting);
        if (error == 0) {
            socket_ = fd;
        } else {
            connectError = error;
            ::close(fd);
        }
    }
    if (socket_ < 0 && connectError == ETIMEDOUT) {
        ornTracef("OrnSocket:OrnConnect: no answer within %d ms\n", timeoutMs);
        return ORN_CONNECT_TIMED_OUT;
    }
    if (socket_ < 0 && connectError == ECANCELED) {
        ornTrace("OrnSocket:OrnConnect: the wait was cancelled\n");
        return ORN_WAIT_CANCELLED;
    }
    if (socket_ < 0 && connectError == 0) {
        ornTracef("OrnSocket: OrnInitialiseSocket :socket: ErrCode = %d\n", socketError);
        return UNABLE_TO_CREATE_SOCK;
    }
    if (socket_ < 0) {
        ornTracef("OrnSocket:OrnConnect: Connect:ErrCode = %d\n", connectError);
        return SOCKET_CONNECTION_ERROR;
    }
    connected_ = 1;

    // Requests go out whole in one send; Nagle would only hold the last segment back.
    int on = 1;
    int flags = ::fcntl(socket_, F_GETFL);
    if (::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0 || flags < 0
        || ::fcntl(socket_, F_SETFL, flags | O_NONBLOCK) != 0) {
        ornTracef("OrnSocket:OrnConnect :WSAEevntSelect : ErrCode = %d\n", errno);
        return EVENT_OBJECT_ERROR;
    }
    ornTrace("OrnSocket:OrnConnect: Function End:\n");
    return 0;
}

int32_t OrnSocket::OrnDisconnect()
{
    ornTrace("OrnSocket:OrnDisconnect: Function Entry:\n");
    int32_t result = 0;
    tls_.close();
    trusted_ = true;
    if (::shutdown(socket_, SHUT_RDWR) != 0)
        result = ORN_SOCKET_ERROR;
    connected_ = 0;
    if (socket_ >= 0 && ::close(socket_) != 0)
        result = ORN_SOCKET_ERROR;
    socket_ = -1;
    ornTrace("OrnSocket:OrnDisconnect: Function End:\n");
    return result;
}

uint32_t OrnSocket::OrnSendData(uint32_t length, const uint8_t* buffer)
{
    ornTrace("OrnSocket:OrnSendData: Entry:\n");
    if (IsRecvThreadExited()) {
        SetErrorNo(0);
        return 0;
    }
    if (!trusted_) {
        ornTrace("OrnSocket:OrnSendData: the server's certificate is not trusted\n");
        SetErrorNo(ORN_TLS_NOT_TRUSTED);
        return 0;
    }
    OrnWaiting waiting(waitHook_);
    uint32_t sent = 0;
    while (sent < length) {
        short wanted = POLLOUT;
        if (tls_.active()) {
            size_t n = 0;
            const OrnTls::Io step = tls_.write(buffer + sent, length - sent, &n);
            if (step == OrnTls::Io::Done) {
                sent += static_cast<uint32_t>(n);
                continue;
            }
            if (step == OrnTls::Io::Closed || step == OrnTls::Io::Failed) {
                ornTracef("OrnSocket:OrnSendData: WSAWaitForMultipleEvents:ErrCode = %d\n", errno);
                SetErrorNo(ORN_SYSTEM_ERROR);
                return 0;
            }
            if (step == OrnTls::Io::WantRead)
                wanted = POLLIN;
        } else {
            ssize_t n = ::send(socket_, buffer + sent, length - sent, MSG_NOSIGNAL);
            if (n >= 0) {
                sent += static_cast<uint32_t>(n);
                continue;
            }
            int error = errno;
            if (error == EINTR)
                continue;
            if (error != EAGAIN && error != EWOULDBLOCK) {
                ornTracef("OrnSocket:OrnSendData: WSAWaitForMultipleEvents:ErrCode = %d\n", error);
                SetErrorNo(ORN_SYSTEM_ERROR);
                return 0;
            }
        }
        // Level-triggered poll for writability takes nothing from the
        // receive thread, which polls the same socket for input.
        pollfd writable { socket_, wanted, 0 };
        int ready;
        do
            ready = ::poll(&writable, 1, waiting.sliceMs());
        while (ready < 0 && errno == EINTR);
        if (ready == 0 && !waiting.goOn()) {
            // Part of a request went out: the connection cannot carry another.
            ornTrace("OrnSocket:OrnSendData: the wait was cancelled\n");
            SetErrorNo(ORN_WAIT_CANCELLED);
            return 0;
        }
        if (ready < 0) {
            ornTracef("OrnSocket:OrnSendData: WSAWaitForMultipleEvents:ErrCode = %d\n", errno);
            SetErrorNo(ORN_SYSTEM_ERROR);
            return 0;
        }
        if (!(writable.revents & wanted) && (writable.revents & (POLLHUP | POLLERR))) {
            int pending = 0;
            socklen_t size = sizeof pending;
            ::getsockopt(socket_, SOL_SOCKET, SO_ERROR, &pending, &size);
            ornTracef("OrnSocket:OrnSendData: WSAWaitForMultipleEvents:ErrCode = %d\n", pending);
            connected_ = 0;
            SetErrorNo(ORN_CONNECTION_CLOSED);
            return 0;
        }
    }
    ornTracef("OrnSocket:OrnSendData: Exit:%u bytes sent\n", sent);
    return sent;
}
