// The receive side of OrnSocket: RecvData, OrnRecvPktSize and the receive
// thread, which cuts the byte stream into whole LDAP messages.
//
// LDAPMessage ::= SEQUENCE { ... }: one identifier octet (0x30), then a
// definite length: one octet 0..127, or 0x80 | n followed by n big-endian
// octets (n <= 4 here). Nothing inside the message is looked at.
#include "OrnAlloc.h"
#include "OrnCodes.h"
#include "OrnSocket.h"
#include "OrnState.h"
#include "OrnTrace.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace {

// Reads of this size or more go straight into the message; smaller ones go
// through the staging buffer, which catches the messages behind as well.
constexpr uint32_t kChunk = 64 * 1024;

} // namespace

// Reads once, waiting for the socket or the end request when nothing is
// there. An end request seen before the read wins, so a peer that never
// stops sending cannot keep the thread alive.
OrnSocket::Pull OrnSocket::pull(uint8_t* into, size_t room, size_t* got)
{
    *got = 0;
    if (peerClosed_)
        return Pull::Closed;
    if (readError_ != 0)
        return Pull::ReadFailed;
    for (;;) {
        if (closeRequest_ && closeRequest_->signalled())
            return Pull::Stop;
        ssize_t n = ::recv(socket_, into, room, MSG_DONTWAIT);
        if (n > 0) {
            *got = static_cast<size_t>(n);
            return Pull::Data;
        }
        // Whatever the peer sent before its close has been read by now:
        // recv reports the end only after the last byte.
        if (n == 0 || errno == ECONNRESET) {
            peerClosed_ = true;
            return Pull::Closed;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            readError_ = errno;
            return Pull::ReadFailed;
        }
        wakeCaller();
        pollfd fds[2] = { { socket_, POLLIN, 0 }, { closeRequest_ ? closeRequest_->fd() : -1, POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            waitError_ = errno;
            return Pull::WaitFailed;
        }
        if (fds[1].revents != 0)
            return Pull::Stop;
    }
}

void OrnSocket::wakeCaller()
{
    if (wakePending_ && readEvent_) {
        wakePending_ = false;
        readEvent_->set();
    }
}

uint32_t OrnSocket::takeStaged(uint8_t* into, uint32_t length)
{
    uint32_t count = std::min(length, stageEnd_ - stageBegin_);
    std::memcpy(into, stage_.get() + stageBegin_, count);
    stageBegin_ += count;
    return count;
}

// The thread's main wait: staged bytes, an end seen by an earlier read and
// new input all count as the socket's event; the read that finds new input
// fills the staging buffer.
OrnSocket::Wake OrnSocket::waitForSocket()
{
    if (stageBegin_ < stageEnd_)
        return Wake::Socket;
    size_t got = 0;
    switch (pull(stage_.get(), kChunk, &got)) {
    case Pull::Stop:
        return Wake::Stop;
    case Pull::WaitFailed:
        return Wake::Failed;
    default:
        stageBegin_ = 0;
        stageEnd_ = static_cast<uint32_t>(got);
        return Wake::Socket;
    }
}

uint32_t OrnSocket::RecvData(uint32_t length, uint8_t* buffer)
{
    ornTrace("OrnSocket:RecvData: Function Entry:\n");
    if (length == 0 || buffer == nullptr) {
        ornTrace("OrnSocket:RecvData: Invalid Input:\n");
        if (length != 0)
            SetErrorNo(INVALID_INPUT);
        return 0;
    }
    uint32_t received = takeStaged(buffer, length);
    while (received < length) {
        uint32_t missing = length - received;
        size_t got = 0;
        Pull result;
        if (missing >= kChunk) {
            result = pull(buffer + received, missing, &got);
            received += static_cast<uint32_t>(got);
        } else {
            result = pull(stage_.get(), kChunk, &got);
            stageBegin_ = 0;
            stageEnd_ = static_cast<uint32_t>(got);
            received += takeStaged(buffer + received, missing);
        }
        switch (result) {
        case Pull::Data:
            break;
        case Pull::Closed:
            connected_ = 0;
            ornTrace("OrnSocket:RecvData: Socket Connection closed:\n");
            SetErrorNo(ORN_CONNECTION_CLOSED);
            return received;
        case Pull::ReadFailed:
            SetErrorNo(ORN_RECIEVING_ERROR);
            return received;
        case Pull::WaitFailed:
            ornTracef("OrnSocket:RecvData: WSAWaitForMultipleEvents:ErrCode = %d\n", waitError_);
            SetErrorNo(ORN_SYSTEM_ERROR);
            return received;
        case Pull::Stop:
            stopRequested_ = true;
            return received;
        }
    }
    ornTracef("OrnSocket:RecvData: Function End: %u bytes recvd\n", received);
    return received;
}

uint32_t OrnSocket::OrnRecvPktSize(uint8_t** header, uint32_t* total)
{
    ornTrace("OrnSocket:OrnRecvPktSize: Function Entry:\n");
    *header = nullptr;
    uint8_t octets[6];
    RecvData(2, octets);
    if (stopRequested_)
        return 0;
    if (ErrorNo != 0) {
        ornTrace("OrnSocket:OrnRecvPktSize: RecvData: Error in recving on socket\n");
        return 0;
    }

    uint32_t extra = 0;
    uint32_t length = octets[1];
    if (length & 0x80) {
        extra = length & 0x7F;
        ornTracef("OrnSocket:OrnRecvPktSize: %d bytes to hold length:\n", static_cast<int>(extra));
        if (extra > 4) {
            SetErrorNo(PACKET_TOO_BIG);
            ornTrace("OrnSocket:OrnRecvPktSize: Length  greater than ULONG can hold:\n");
            return 0;
        }
        uint8_t word[4] = { 0, 0, 0, 0 };
        if (extra > 0) {
            RecvData(extra, word + 4 - extra);
            if (stopRequested_)
                return 0;
            if (ErrorNo != 0) {
                SetErrorNo(ORN_RECIEVING_ERROR);
                ornTrace("OrnSocket:OrnRecvPktSize: RecvData:\n");
                return 0;
            }
        }
        uint32_t networkOrder;
        std::memcpy(&networkOrder, word, sizeof networkOrder);
        ornTracef("OrnSocket:OrnRecvPktSize: Network order len = %x\n", networkOrder);
        length = ntohl(networkOrder);
        std::memcpy(octets + 2, word + 4 - extra, extra);
    }
    // The whole message's size must fit the packet's 32-bit size.
    if (length > UINT32_MAX - 2 - extra) {
        SetErrorNo(PACKET_TOO_BIG);
        ornTrace("OrnSocket:OrnRecvPktSize: Length  greater than ULONG can hold:\n");
        return 0;
    }
    auto* copy = static_cast<uint8_t*>(ornMalloc(2 + extra));
    if (copy == nullptr) {
        SetErrorNo(MALLOC_ERROR);
        ornTracef("OrnSocket:OrnRecvPktSize: new:ErrCode = %d\n", errno);
        return 0;
    }
    std::memcpy(copy, octets, 2 + extra);
    *header = copy;
    *total = 2 + extra + length;
    ornTracef("OrnSocket:OrnRecvPktSize: Function End:packet size = %x:tot size = %u\n", length, *total);
    ornTracef("OrnSocket:OrnRecvPktSize: Function End:packet size = %u:tot size = %u\n", length, *total);
    return length;
}

namespace {

// What the thread holds between allocation and handing over.
struct Holding {
    uint8_t* header = nullptr;
    uint8_t* data = nullptr;
    RecvPacket* record = nullptr;

    void release()
    {
        ornFree(header);
        ornFree(data);
        ornFree(record);
        header = data = nullptr;
        record = nullptr;
    }
    ~Holding() { release(); }
};

// The next size for a message's buffer: doubled, at least a chunk more,
// never more than the message. The buffer thus stays within twice what has
// arrived plus a chunk, whatever length the peer announced.
uint32_t grown(uint32_t capacity, uint32_t total)
{
    uint64_t next = std::max<uint64_t>(uint64_t(capacity) + kChunk, uint64_t(capacity) * 2);
    return static_cast<uint32_t>(std::min<uint64_t>(next, total));
}

} // namespace

int32_t OrnSocket::OrnRecvThread(RecvThreadParams* params)
{
    ornTrace("OrnSocket:OrnRecvThread: Thread started:\n");
    OrnEvent* readEvent = params ? params->SockReadEventObject : nullptr;
    OrnSocket* self = params ? params->socket : nullptr;
    Holding held;

    auto finish = [&](int32_t code) {
        SetErrorNo(code);
        held.release();
        ornTrace("OrnSocket:OrnRecvThread: Thread exited:\n");
        if (self) {
            self->closeRequest_ = nullptr;
            self->readEvent_ = nullptr;
            self->wakePending_ = false;
        }
        RecvThreadExited.store(1);
        if (readEvent)
            readEvent->set();
        return code;
    };
    auto asked = [&] {
        ornTrace("OrnSocket:OrnRecvThread: Recv Thread exited = \n");
        return finish(0);
    };

    if (!params || !params->CloseThreadEventObject || !readEvent || !params->SockRecvQueue || !self) {
        ornTrace("OrnSocket:OrnRecvThread: Invalid Input:\n");
        return finish(INVALID_INPUT);
    }
    if (self->GetSockEventObject() < 0) {
        ornTrace("OrnSocket:OrnRecvThread: GetSockEventObject : Invalid Event Object Recvd:\n");
        return finish(INVALID_INPUT);
    }
    self->closeRequest_ = params->CloseThreadEventObject;
    self->readEvent_ = readEvent;
    self->wakePending_ = false;
    self->stopRequested_ = false;
    if (!self->stage_) {
        self->stage_.reset(new (std::nothrow) uint8_t[kChunk]);
        if (!self->stage_) {
            ornTracef("OrnSocket:OrnRecvThread: new:ErrCode = %d\n", ENOMEM);
            return finish(MALLOC_ERROR);
        }
    }

    uint32_t pending = 0;
    uint32_t total = 0;
    for (;;) {
        Wake wake = self->waitForSocket();
        if (wake == Wake::Failed) {
            ornTracef("OrnSocket:OrnRecvThread: WaitForMultipleObjects: ErrCode = %d:\n", self->waitError_);
            return finish(INVALID_INPUT);
        }
        if (wake == Wake::Stop)
            return asked();

        if (pending == 0) {
            ornTrace("OrnSocket:OrnRecvThread: Event Object Set: Read event,optimistic :\n");
            pending = self->OrnRecvPktSize(&held.header, &total);
            if (self->stopRequested_)
                return asked();
            if (ErrorNo != 0) {
                ornTrace("OrnSocket:OrnRecvThread: OrnRecvPacketsize Error:\n");
                return finish(ORN_RECIEVING_ERROR);
            }
            if (pending == 0) { // 30 00 and 30 80: nothing to queue
                ornFree(held.header);
                held.header = nullptr;
            }
            continue;
        }

        uint32_t headerSize = total - pending;
        uint32_t capacity = std::min(total, kChunk);
        held.data = static_cast<uint8_t*>(ornMalloc(capacity));
        if (held.data == nullptr) {
            ornTracef("OrnSocket:OrnRecvThread: new:ErrCode = %d\n", errno);
            return finish(MALLOC_ERROR);
        }
        std::memcpy(held.data, held.header, headerSize);
        uint32_t received = headerSize;
        while (received < total) {
            if (received == capacity) {
                uint32_t larger = grown(capacity, total);
                auto* moved = static_cast<uint8_t*>(ornRealloc(held.data, larger));
                if (moved == nullptr) {
                    ornTracef("OrnSocket:OrnRecvThread: new:ErrCode = %d\n", errno);
                    return finish(MALLOC_ERROR);
                }
                held.data = moved;
                capacity = larger;
            }
            uint32_t wanted = capacity - received;
            uint32_t got = self->RecvData(wanted, held.data + received);
            received += got;
            if (self->stopRequested_)
                return asked();
            if (got != wanted || ErrorNo != 0) {
                ornTrace("OrnSocket:OrnRecvThread: RecvData:\n");
                return finish(ORN_RECIEVING_ERROR);
            }
        }
        ornTracef("OrnSocket:OrnRecvThread: RecvData of size = %u:\n", pending);
        ornTrace("OrnSocket:OrnRecvThread: COMPLETE PACKET RECVD:\n");
        ornFree(held.header);
        held.header = nullptr;

        held.record = static_cast<RecvPacket*>(ornMalloc(sizeof(RecvPacket)));
        if (held.record == nullptr) {
            ornTracef("OrnSocket:OrnRecvThread: new:ErrCode = %d\n", errno);
            return finish(MALLOC_ERROR);
        }
        held.record->size = total;
        held.record->data = held.data;
        held.data = nullptr;
        params->SockRecvQueue->OrnEnque(held.record);
        held.record = nullptr;
        self->wakePending_ = true;
        if (self->stageBegin_ == self->stageEnd_)
            self->wakeCaller();
        ornTrace("OrnSocket:OrnRecvThread: Packet formed,Enqueued and object set\n");
        pending = 0;
    }
}
