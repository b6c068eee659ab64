// OrnSocket on the caller's thread before the receive thread runs: the TLS
// handshake, and the one message read in the clear (the StartTLS answer).
#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnSocket.h"
#include "ldap/OrnTrace.h"
#include "ldap/OrnWait.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

OrnSocket::Ready OrnSocket::await(short events, OrnWaiting& waiting, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return Ready::TimedOut;
        int slice = static_cast<int>(std::min<long long>(left, 1 << 30));
        if (waiting.sliceMs() >= 0)
            slice = std::min(slice, waiting.sliceMs());
        pollfd fd { socket_, events, 0 };
        const int ready = ::poll(&fd, 1, slice);
        if (ready > 0)
            return Ready::Yes;
        if (ready < 0 && errno != EINTR)
            return Ready::Failed;
        if (ready == 0 && !waiting.goOn())
            return Ready::Cancelled;
    }
}

int32_t OrnSocket::failureOf(Ready ready)
{
    switch (ready) {
    case Ready::TimedOut:
        return ORN_CONNECT_TIMED_OUT;
    case Ready::Cancelled:
        return ORN_WAIT_CANCELLED;
    default:
        return ORN_RECIEVING_ERROR;
    }
}

int32_t OrnSocket::readExactly(uint8_t* into, uint32_t count, OrnWaiting& waiting,
                               std::chrono::steady_clock::time_point deadline)
{
    uint32_t got = 0;
    while (got < count) {
        const ssize_t n = ::recv(socket_, into + got, count - got, MSG_DONTWAIT);
        if (n > 0) {
            got += static_cast<uint32_t>(n);
            continue;
        }
        if (n == 0 || errno == ECONNRESET) {
            connected_ = 0;
            return ORN_CONNECTION_CLOSED;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return ORN_RECIEVING_ERROR;
        if (const Ready ready = await(POLLIN, waiting, deadline); ready != Ready::Yes)
            return failureOf(ready);
    }
    return 0;
}

// LDAPMessage ::= SEQUENCE { ... }: the identifier and first length octet,
// the further length octets, then the contents, each read to the octet.
int32_t OrnSocket::OrnRecvMessage(uint8_t** data, uint32_t* size, int timeoutMs)
{
    *data = nullptr;
    *size = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    OrnWaiting waiting(waitHook_);
    uint8_t header[6];
    if (int32_t failed = readExactly(header, 2, waiting, deadline); failed != 0)
        return failed;
    uint32_t lengthOctets = header[1] & 0x80 ? header[1] & 0x7F : 0;
    if (lengthOctets > 4)
        return PACKET_TOO_BIG;
    if (int32_t failed = readExactly(header + 2, lengthOctets, waiting, deadline); failed != 0)
        return failed;
    uint64_t length = lengthOctets ? 0 : header[1];
    for (uint32_t i = 0; i < lengthOctets; ++i)
        length = length << 8 | header[2 + i];
    const uint64_t total = 2 + lengthOctets + length;
    if (total > UINT32_MAX)
        return PACKET_TOO_BIG;
    auto* message = static_cast<uint8_t*>(ornMalloc(static_cast<size_t>(total)));
    if (!message)
        return MALLOC_ERROR;
    std::copy(header, header + 2 + lengthOctets, message);
    if (int32_t failed = readExactly(message + 2 + lengthOctets, static_cast<uint32_t>(length), waiting, deadline);
        failed != 0) {
        ornFree(message);
        return failed;
    }
    *data = message;
    *size = static_cast<uint32_t>(total);
    return 0;
}

int32_t OrnSocket::OrnStartTls(const char* host, int timeoutMs)
{
    ornTrace("OrnSocket:OrnStartTls: Function Start:\n");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    if (!tls_.begin(socket_, host)) {
        ornTracef("OrnSocket:OrnStartTls: %s\n", OrnTls::lastError().c_str());
        tls_.drop();
        return ORN_TLS_ERROR;
    }
    OrnWaiting waiting(waitHook_);
    for (;;) {
        const OrnTls::Io step = tls_.handshake();
        if (step == OrnTls::Io::Done)
            break;
        Ready ready = Ready::Failed;
        if (step == OrnTls::Io::WantRead || step == OrnTls::Io::WantWrite)
            ready = await(step == OrnTls::Io::WantRead ? POLLIN : POLLOUT, waiting, deadline);
        if (ready != Ready::Yes) {
            ornTracef("OrnSocket:OrnStartTls: handshake: %s\n", OrnTls::lastError().c_str());
            tls_.drop();
            return ready == Ready::Failed ? ORN_TLS_ERROR : failureOf(ready);
        }
    }
    trusted_ = tls_.peer().verified;
    ornTracef("OrnSocket:OrnStartTls: Function End: %s\n",
              trusted_ ? "verified" : tls_.peer().reason.c_str());
    return 0;
}
