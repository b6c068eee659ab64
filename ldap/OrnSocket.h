// The transport: one TCP connection to the LDAP server, a sender on the
// caller's thread and a receive thread that cuts the byte stream into whole
// LDAP messages and queues them.
//
// Waiting is poll() on the socket together with the wake descriptor that
// asks the receive thread to end, so the thread ends promptly even while it
// waits for the rest of a message. An end request seen before a read wins
// over waiting input, so a peer that keeps sending cannot hold the thread.
// The sender waits for writability with its own poll(), which consumes
// nothing the receive thread needs.
//
// A secured connection (OrnStartTls) runs the same paths through OrnTls: the
// receive thread reads decrypted octets and the sender writes through it.
//
// Threads: OrnInitialiseSocket, OrnConnect, OrnStartTls, OrnRecvMessage,
// OrnSendData and OrnDisconnect run on the caller's thread (the first four
// before the receive thread starts); OrnRecvThread, and the RecvStage it
// reads into, on the receive thread only.
#pragma once

#include "ldap/Ber.h"
#include "ldap/OrnEvent.h"
#include "ldap/OrnQueue.h"
#include "ldap/OrnTls.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

// One complete received message: identifier octet, length octets, contents.
// The receive thread allocates the record and its data with ornMalloc; the
// consumer frees both with ornFree.
struct RecvPacket {
    uint32_t size;
    uint8_t* data;
};

class OrnSocket;
class OrnWaitHook;
class OrnWaiting;

// Handed to the receive thread; lives in the service object, which outlives the thread.
struct RecvThreadParams {
    OrnWakeDescriptor* CloseThreadEventObject;
    OrnEvent* SockReadEventObject;
    OrnQueue<RecvPacket>* SockRecvQueue;
    OrnSocket* socket;
};

// What the receive thread reads lands here, and ber_get_next cuts it into
// whole messages; a message's bytes are copied once, from here into its own
// block. One read of up to kSize octets thus catches many small messages,
// while the rest of a large one is read straight into its block. Kept apart
// from the socket so that tests can feed it from memory.
class RecvStage {
public:
    static constexpr uint32_t kSize = 64 * 1024;

    RecvStage();
    ~RecvStage(); // frees the part of a message read so far
    RecvStage(const RecvStage&) = delete;
    RecvStage& operator=(const RecvStage&) = delete;

    // False when the staging area could not be allocated.
    bool ok() const { return stage_ != nullptr; }
    // Message: the next whole message (identifier and length octets, then
    // contents) in a block the caller frees with ornFree. Elements without
    // contents are passed over, so never Empty.
    BerNext next(uint8_t** data, uint32_t* size);
    // Where the next read goes and how much it may bring, once next() has
    // said NeedMore; arrived() then counts what it brought. Null when the
    // message's block could not grow.
    uint8_t* space(uint32_t* room);
    void arrived(uint32_t count) { (intoMessage_ ? message_.fill : source_.end) += count; }
    // Part of a message is at hand: staged bytes not yet taken, or a
    // message begun.
    bool partial() const { return message_.fill != nullptr || source_.ptr != source_.end; }

private:
    uint8_t* stage_;
    BerSource source_; // the staged bytes not yet taken
    BerBuffer message_; // the message being read while its fill is set
    BerCodec codec_;
    bool intoMessage_ = false; // the read goes straight into message_
};

class OrnSocket {
public:
    OrnSocket();
    ~OrnSocket();
    OrnSocket(const OrnSocket&) = delete;
    OrnSocket& operator=(const OrnSocket&) = delete;

    // Prepares a connection: 0 or a library code.
    int32_t OrnInitialiseSocket();
    // host: an IPv4 or IPv6 literal (used without a lookup) or a name
    // resolved with getaddrinfo; port: its low 16 bits. The addresses are
    // tried in turn until timeoutMs has passed in all. 0, or
    // ORN_SOCKET_ERROR (the name does not resolve), SOCKET_CONNECTION_ERROR
    // (refused or unreachable), ORN_CONNECT_TIMED_OUT, ORN_WAIT_CANCELLED, or
    // another library code.
    int32_t OrnConnect(const char* host, uint32_t port, int timeoutMs = kDefaultConnectTimeoutMs);

    static constexpr int kDefaultConnectTimeoutMs = 30000;
    // Sends close_notify first on a secured connection.
    int32_t OrnDisconnect();

    // Reads one whole message on the caller's thread, before the receive
    // thread runs, and not one octet beyond it: what follows a StartTLS
    // answer belongs to the handshake. *data is the caller's (ornFree).
    // 0, or ORN_CONNECTION_CLOSED, PACKET_TOO_BIG, ORN_RECIEVING_ERROR,
    // MALLOC_ERROR, ORN_CONNECT_TIMED_OUT, ORN_WAIT_CANCELLED.
    int32_t OrnRecvMessage(uint8_t** data, uint32_t* size, int timeoutMs);

    // TLS handshake on the connected socket; host is what the certificate
    // must name. 0 once done, whatever the certificate: tlsPeer() tells how
    // it was checked, and an unverified peer gets nothing sent until
    // trustPeer(). ORN_TLS_ERROR, ORN_CONNECT_TIMED_OUT or ORN_WAIT_CANCELLED.
    int32_t OrnStartTls(const char* host, int timeoutMs);
    // Null while the connection is plain.
    const OrnTlsPeer* tlsPeer() const { return tls_.active() ? &tls_.peer() : nullptr; }
    void trustPeer() { trusted_ = true; }

    // Octets sent: the whole length, or 0 with ErrorNo set
    // (ORN_WAIT_CANCELLED when the hook ended the wait for the server to take
    // them, ORN_TLS_NOT_TRUSTED before an unverified peer is trusted).
    uint32_t OrnSendData(uint32_t length, const uint8_t* buffer);

    // Asked while OrnConnect and OrnSendData wait; null for none.
    void setWaitHook(OrnWaitHook* hook) { waitHook_ = hook; }

    static int32_t OrnRecvThread(RecvThreadParams* params);

    // The socket's descriptor, polled for the socket's events; -1 when none.
    int GetSockEventObject() const { return socket_; }
    bool connected() const { return connected_ != 0; }

private:
    enum class Pull { Data, Closed, Stop, WaitFailed, ReadFailed, Nothing };

    enum class Ready { Yes, TimedOut, Cancelled, Failed };

    int32_t receive(OrnQueue<RecvPacket>* queue);
    Pull pull(uint8_t* into, size_t room, size_t* got);
    // One read of what is there: Data, Closed or ReadFailed; Nothing when
    // nothing is, with *wanted the poll event to wait for.
    Pull readSome(uint8_t* into, size_t room, size_t* got, short* wanted);
    // The caller's thread waits for the socket before a deadline.
    Ready await(short events, OrnWaiting& waiting, std::chrono::steady_clock::time_point deadline);
    int32_t readExactly(uint8_t* into, uint32_t count, OrnWaiting& waiting,
                        std::chrono::steady_clock::time_point deadline);
    static int32_t failureOf(Ready ready);
    void closeSocket();

    std::atomic<int32_t> connected_{0};
    int32_t started_ = 0;
    int socket_ = -1;
    OrnWaitHook* waitHook_ = nullptr;
    OrnTls tls_;
    std::atomic<bool> trusted_{true};
    // The rest is the receive thread's. The end request is watched before
    // every read and during every wait.
    const OrnWakeDescriptor* closeRequest_ = nullptr;
    // Messages queued since the caller was last woken. The wake is put off
    // while more of a read is still to be framed, so a stream of small
    // messages costs one wake per read, not one per message; it is never put
    // off past a wait.
    OrnEvent* readEvent_ = nullptr;
    bool wakePending_ = false;
    void wakeCaller();
    int error_ = 0; // of the failed recv or poll
};
