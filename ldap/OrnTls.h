// TLS over the transport's socket, with OpenSSL.
//
// The handshake checks the server's certificate against the system's trust
// store (SSL_CERT_FILE / SSL_CERT_DIR override it, as everywhere in
// OpenSSL), its validity dates and its names (subject alternative names,
// IP addresses too) against the host the caller named. A certificate that
// fails does not fail the handshake: the library has no one to ask, so it
// reports the result and the certificate in OrnTlsPeer and the caller
// decides whether to go on (OrnSocket refuses to send until it has).
//
// Threads: the receive thread reads while the caller's thread writes, and
// one SSL object is not safe for that, so every SSL call holds lock_. The
// socket is non-blocking, so no call waits while it holds the lock: a call
// that wants more of the socket returns Want*, and the caller polls with
// the lock released. Renegotiation is refused, so a write never has to read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

// What the handshake learnt of the server's certificate.
struct OrnTlsPeer {
    bool verified = false; // chain, dates and name all checked out
    std::string reason;    // why not, in OpenSSL's words; empty when verified
    std::string subject;   // RFC 2253 form
    std::string issuer;
    std::string notBefore; // "Jan  1 00:00:00 2026 GMT"
    std::string notAfter;
    std::string fingerprint; // SHA-256 of the DER certificate, "AB:CD:..."; empty with no certificate
};

class OrnTls {
public:
    enum class Io { Done, WantRead, WantWrite, Closed, Failed };

    OrnTls() = default;
    ~OrnTls();
    OrnTls(const OrnTls&) = delete;
    OrnTls& operator=(const OrnTls&) = delete;

    // Sets up a session on the connected socket fd for host (a name or an
    // IP literal, checked against the certificate). False when OpenSSL
    // cannot make one.
    bool begin(int fd, const char* host);
    bool active() const { return ssl_ != nullptr; }
    // One step of the handshake; Done once it is over and peer() is filled.
    Io handshake();
    const OrnTlsPeer& peer() const { return peer_; }

    // One SSL_read or SSL_write; *done says how many octets it moved. Data
    // OpenSSL has already decrypted is returned without touching the socket,
    // so a reader must read until WantRead before it polls.
    Io read(uint8_t* into, size_t room, size_t* done);
    Io write(const uint8_t* from, size_t length, size_t* done);

    // Sends close_notify if the socket takes it at once (the peer's answer is
    // not awaited) and frees the session.
    void close();
    // Frees the session without a word to the peer.
    void drop();
    // OpenSSL's text for the last failure on this thread.
    static std::string lastError();

private:
    Io outcome(int ok, size_t* done);
    void readPeer();

    std::mutex lock_;
    SSL_CTX* context_ = nullptr;
    SSL* ssl_ = nullptr;
    OrnTlsPeer peer_;
};
