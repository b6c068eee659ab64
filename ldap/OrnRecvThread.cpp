// The receive side of OrnSocket: the staging area and the receive thread,
// which feeds what each read brings to ber_get_next and queues every whole
// LDAP message (LDAPMessage ::= SEQUENCE { ... }). Nothing inside a message
// is looked at.
#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnSocket.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

RecvStage::RecvStage() : stage_(static_cast<uint8_t*>(ornMalloc(kSize)))
{
    codec_.ber_init(&source_, 0);
    codec_.ber_init(&message_, 0);
    source_.buf = source_.ptr = source_.end = stage_;
}

RecvStage::~RecvStage()
{
    if (message_.fill)
        ornFree(message_.buf);
    ornFree(stage_);
}

BerNext RecvStage::next(uint8_t** data, uint32_t* size)
{
    for (;;) {
        uint32_t length = 0;
        if (codec_.ber_get_next(&source_, &length, &message_) != BER_ERROR) {
            *data = message_.buf;
            *size = static_cast<uint32_t>(message_.end - message_.buf);
            message_.buf = message_.ptr = message_.end = nullptr;
            return BerNext::Message;
        }
        // 30 00, and the indefinite 30 80 read as it: nothing to queue.
        if (codec_.next_status != BerNext::Empty)
            return codec_.next_status;
    }
}

uint8_t* RecvStage::space(uint32_t* room)
{
    // A message missing a staging area's worth or more is read straight
    // into its block, sparing the copy; it has taken all that was staged.
    intoMessage_ = false;
    if (message_.fill) {
        const uint32_t offered = codec_.ber_next_room(&message_, kSize);
        if (offered == 0)
            return nullptr;
        if (offered >= kSize) {
            intoMessage_ = true;
            *room = offered;
            return message_.fill;
        }
    }
    // A header cut short moves to the front, for the read to complete it.
    const auto kept = static_cast<uint32_t>(source_.end - source_.ptr);
    std::memmove(stage_, source_.ptr, kept);
    source_.ptr = stage_;
    source_.end = stage_ + kept;
    *room = kSize - kept;
    return source_.end;
}

// Reads once, waiting for the socket or the end request when nothing is
// there. An end request seen before the read wins, so a peer that never
// stops sending cannot keep the thread alive. The read comes before the
// wait: poll() cannot see octets OpenSSL has already taken off the socket.
OrnSocket::Pull OrnSocket::pull(uint8_t* into, size_t room, size_t* got)
{
    *got = 0;
    for (;;) {
        if (closeRequest_->signalled())
            return Pull::Stop;
        short wanted = POLLIN;
        if (const Pull read = readSome(into, room, got, &wanted); read != Pull::Nothing)
            return read;
        wakeCaller();
        pollfd fds[2] = { { socket_, wanted, 0 }, { closeRequest_->fd(), POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            error_ = errno;
            return Pull::WaitFailed;
        }
        if (fds[1].revents != 0)
            return Pull::Stop;
    }
}

OrnSocket::Pull OrnSocket::readSome(uint8_t* into, size_t room, size_t* got, short* wanted)
{
    if (tls_.active()) {
        switch (tls_.read(into, room, got)) {
        case OrnTls::Io::Done:
            return Pull::Data;
        case OrnTls::Io::Closed:
            return Pull::Closed;
        case OrnTls::Io::Failed:
            error_ = EPROTO;
            return Pull::ReadFailed;
        case OrnTls::Io::WantWrite:
            *wanted = POLLOUT;
            return Pull::Nothing;
        case OrnTls::Io::WantRead:
            return Pull::Nothing;
        }
    }
    for (;;) {
        ssize_t n = ::recv(socket_, into, room, MSG_DONTWAIT);
        if (n > 0) {
            *got = static_cast<size_t>(n);
            return Pull::Data;
        }
        // recv reports the end only after the last byte.
        if (n == 0 || errno == ECONNRESET)
            return Pull::Closed;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            error_ = errno;
            return Pull::ReadFailed;
        }
        return Pull::Nothing;
    }
}

void OrnSocket::wakeCaller()
{
    if (wakePending_ && readEvent_) {
        wakePending_ = false;
        readEvent_->set();
    }
}

// A read happens only once everything staged has been framed, so every
// message that arrived whole is queued before a close or a failure is seen.
int32_t OrnSocket::receive(OrnQueue<RecvPacket>* queue)
{
    RecvStage stage;
    if (!stage.ok()) {
        ornTracef("OrnSocket:OrnRecvThread: new:ErrCode = %d\n", ENOMEM);
        return MALLOC_ERROR;
    }
    for (;;) {
        uint8_t* data = nullptr;
        uint32_t size = 0;
        switch (stage.next(&data, &size)) {
        case BerNext::Message: {
            auto* record = static_cast<RecvPacket*>(ornMalloc(sizeof(RecvPacket)));
            if (record == nullptr) {
                ornFree(data);
                ornTracef("OrnSocket:OrnRecvThread: new:ErrCode = %d\n", ENOMEM);
                return MALLOC_ERROR;
            }
            ornTracef("OrnSocket:OrnRecvThread: COMPLETE PACKET RECVD: size = %u\n", size);
            *record = { size, data };
            queue->OrnEnque(record);
            wakePending_ = true;
            if (!stage.partial())
                wakeCaller();
            ornTrace("OrnSocket:OrnRecvThread: Packet formed,Enqueued and object set\n");
            continue;
        }
        case BerNext::NeedMore:
            break;
        case BerNext::NotBer:
            SetErrorNo(PACKET_TOO_BIG);
            ornTrace("OrnSocket:OrnRecvThread: Length  greater than ULONG can hold:\n");
            ornTrace("OrnSocket:OrnRecvThread: OrnRecvPacketsize Error:\n");
            return ORN_RECIEVING_ERROR;
        default:
            ornTracef("OrnSocket:OrnRecvThread: new:ErrCode = %d\n", ENOMEM);
            return MALLOC_ERROR;
        }

        uint32_t room = 0;
        uint8_t* into = stage.space(&room);
        if (into == nullptr) {
            ornTracef("OrnSocket:OrnRecvThread: new:ErrCode = %d\n", ENOMEM);
            return MALLOC_ERROR;
        }
        size_t got = 0;
        switch (pull(into, room, &got)) {
        case Pull::Data:
            stage.arrived(static_cast<uint32_t>(got));
            break;
        case Pull::Closed:
            connected_ = 0;
            ornTrace("OrnSocket:OrnRecvThread: Socket Connection closed:\n");
            SetErrorNo(ORN_CONNECTION_CLOSED);
            return ORN_RECIEVING_ERROR;
        case Pull::ReadFailed:
            ornTracef("OrnSocket:OrnRecvThread: recv:ErrCode = %d\n", error_);
            return ORN_RECIEVING_ERROR;
        case Pull::WaitFailed:
            ornTracef("OrnSocket:OrnRecvThread: WaitForMultipleObjects: ErrCode = %d:\n", error_);
            // Between messages the wait is the thread's main wait, which ends
            // it as the bad event it would have been handed.
            return stage.partial() ? ORN_RECIEVING_ERROR : INVALID_INPUT;
        case Pull::Stop:
        case Pull::Nothing: // pull() waits instead
            ornTrace("OrnSocket:OrnRecvThread: Recv Thread exited = \n");
            return 0;
        }
    }
}

int32_t OrnSocket::OrnRecvThread(RecvThreadParams* params)
{
    ornTrace("OrnSocket:OrnRecvThread: Thread started:\n");
    OrnEvent* readEvent = params ? params->SockReadEventObject : nullptr;
    OrnSocket* self = params ? params->socket : nullptr;
    int32_t code = 0;
    if (!params || !params->CloseThreadEventObject || !readEvent || !params->SockRecvQueue || !self) {
        ornTrace("OrnSocket:OrnRecvThread: Invalid Input:\n");
        code = INVALID_INPUT;
    } else if (self->GetSockEventObject() < 0) {
        ornTrace("OrnSocket:OrnRecvThread: GetSockEventObject : Invalid Event Object Recvd:\n");
        code = INVALID_INPUT;
    } else {
        self->closeRequest_ = params->CloseThreadEventObject;
        self->readEvent_ = readEvent;
        self->wakePending_ = false;
        code = self->receive(params->SockRecvQueue);
        self->closeRequest_ = nullptr;
        self->readEvent_ = nullptr;
        self->wakePending_ = false;
    }
    SetErrorNo(code);
    ornTrace("OrnSocket:OrnRecvThread: Thread exited:\n");
    RecvThreadExited.store(1);
    if (readEvent)
        readEvent->set();
    return code;
}
