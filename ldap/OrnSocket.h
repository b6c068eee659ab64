// The transport: one TCP connection to the LDAP server, a sender on the
// caller's thread and a receive thread that cuts the byte stream into whole
// LDAP messages by their length octets and queues them.
//
// Waiting is poll() on the socket together with the wake descriptor that
// asks the receive thread to end, so the thread ends promptly even while it
// waits for the rest of a message. An end request seen before a read wins
// over waiting input, so a peer that keeps sending cannot hold the thread. The sender waits for writability with its
// own poll(), which consumes nothing the receive thread needs.
//
// Threads: OrnInitialiseSocket, OrnConnect, OrnSendData and OrnDisconnect run
// on the caller's thread; RecvData, OrnRecvPktSize and OrnRecvThread on the
// receive thread only.
#pragma once

#include "OrnEvent.h"
#include "OrnQueue.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// One complete received message: identifier octet, length octets, contents.
// The receive thread allocates the record and its data with ornMalloc; the
// consumer frees both with ornFree.
struct RecvPacket {
    uint32_t size;
    uint8_t* data;
};

class OrnSocket;

// Handed to the receive thread; lives in the service object, which outlives the thread.
struct RecvThreadParams {
    OrnWakeDescriptor* CloseThreadEventObject;
    OrnEvent* SockReadEventObject;
    OrnQueue<RecvPacket>* SockRecvQueue;
    OrnSocket* socket;
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
    // resolved with getaddrinfo; port: its low 16 bits. 0 or a library code.
    int32_t OrnConnect(const char* host, uint32_t port);
    int32_t OrnDisconnect();

    // Octets sent: the whole length, or 0 with ErrorNo set.
    uint32_t OrnSendData(uint32_t length, const uint8_t* buffer);

    // Receive thread only.
    uint32_t RecvData(uint32_t length, uint8_t* buffer);
    uint32_t OrnRecvPktSize(uint8_t** header, uint32_t* total);
    static int32_t OrnRecvThread(RecvThreadParams* params);

    // The socket's descriptor, polled for the socket's events; -1 when none.
    int GetSockEventObject() const { return socket_; }
    bool connected() const { return connected_ != 0; }

private:
    enum class Pull { Data, Closed, Stop, WaitFailed, ReadFailed };
    enum class Wake { Socket, Stop, Failed };

    Pull pull(uint8_t* into, size_t room, size_t* got);
    Wake waitForSocket();
    uint32_t takeStaged(uint8_t* into, uint32_t length);
    void closeSocket();

    std::atomic<int32_t> connected_{0};
    int32_t started_ = 0;
    int socket_ = -1;
    // The receive thread's end request, watched inside RecvData as well.
    const OrnWakeDescriptor* closeRequest_ = nullptr;
    // Messages queued since the caller was last woken. The wake is put off
    // while more input is already at hand, so a stream of small messages
    // costs one wake per read, not one per message; it is never put off
    // past a wait.
    OrnEvent* readEvent_ = nullptr;
    bool wakePending_ = false;
    void wakeCaller();

    // Receive thread only. Each read takes what the socket holds, up to the
    // staging buffer's size; bytes beyond the message being read wait in
    // stage_ for the next one, so a stream of small messages costs one
    // system call per buffer rather than several per message.
    std::unique_ptr<uint8_t[]> stage_;
    uint32_t stageBegin_ = 0;
    uint32_t stageEnd_ = 0;
    bool peerClosed_ = false; // recv reported the end: only stage_ is left
    int readError_ = 0;
    int waitError_ = 0;
    bool stopRequested_ = false; // the end request arrived inside RecvData
};
