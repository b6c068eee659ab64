#include "ldap/OrnTls.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

// OpenSSL's own socket BIO writes with write(), and a peer that has gone
// would raise SIGPIPE in a program that never asked for it; this one sends
// with MSG_NOSIGNAL as the plain transport does.
struct SocketEnd {
    int fd;
    bool ended = false; // the peer closed or reset: OpenSSL asks BIO_eof
};

SocketEnd* endOf(BIO* bio)
{
    return static_cast<SocketEnd*>(BIO_get_data(bio));
}

int bioWrite(BIO* bio, const char* data, size_t length, size_t* written)
{
    BIO_clear_retry_flags(bio);
    for (;;) {
        const ssize_t n = ::send(endOf(bio)->fd, data, length, MSG_NOSIGNAL);
        if (n >= 0) {
            *written = static_cast<size_t>(n);
            return 1;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            BIO_set_retry_write(bio);
        return 0;
    }
}

int bioRead(BIO* bio, char* data, size_t length, size_t* got)
{
    BIO_clear_retry_flags(bio);
    for (;;) {
        const ssize_t n = ::recv(endOf(bio)->fd, data, length, 0);
        if (n > 0) {
            *got = static_cast<size_t>(n);
            return 1;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            BIO_set_retry_read(bio);
        else if (n == 0 || errno == ECONNRESET)
            endOf(bio)->ended = true;
        return 0;
    }
}

long bioControl(BIO* bio, int command, long, void*)
{
    if (command == BIO_CTRL_FLUSH)
        return 1;
    if (command == BIO_CTRL_EOF)
        return endOf(bio)->ended ? 1 : 0;
    return 0;
}

int bioDestroy(BIO* bio)
{
    delete endOf(bio);
    BIO_set_data(bio, nullptr);
    return 1;
}

const BIO_METHOD* socketMethod()
{
    static BIO_METHOD* method = [] {
        BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "orn socket");
        if (made) {
            BIO_meth_set_write_ex(made, bioWrite);
            BIO_meth_set_read_ex(made, bioRead);
            BIO_meth_set_ctrl(made, bioControl);
            BIO_meth_set_destroy(made, bioDestroy);
        }
        return made;
    }();
    return method;
}

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

template <typename Print>
std::string printed(Print print)
{
    std::unique_ptr<BIO, BioFree> memory(BIO_new(BIO_s_mem()));
    if (!memory || print(memory.get()) <= 0)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(memory.get(), &data);
    return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

} // namespace

OrnTls::~OrnTls()
{
    drop();
}

bool OrnTls::begin(int fd, const char* host)
{
    drop();
    std::lock_guard hold(lock_);
    ERR_clear_error();
    const BIO_METHOD* method = socketMethod();
    context_ = method ? SSL_CTX_new(TLS_client_method()) : nullptr;
    if (!context_)
        return false;
    SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
    // A renegotiation would let a write need to read, which the lock above cannot allow.
    // An end without close_notify ends the stream as a plain close does; LDAP's
    // framing already tells a cut message from a whole one.
    SSL_CTX_set_options(context_, SSL_OP_NO_RENEGOTIATION | SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE);
    // One recv takes several records at once rather than each header and
    // body on its own. Safe because a reader reads until WantRead before it
    // polls, whatever OpenSSL holds.
    SSL_CTX_set_read_ahead(context_, 1);
    SSL_CTX_set_default_read_buffer_len(context_, 64 * 1024);
    SSL_CTX_set_verify(context_, SSL_VERIFY_NONE, nullptr);
    if (SSL_CTX_set_default_verify_paths(context_) != 1)
        return false;
    ssl_ = SSL_new(context_);
    BIO* bio = ssl_ ? BIO_new(method) : nullptr;
    if (!bio)
        return false;
    BIO_set_data(bio, new SocketEnd { fd });
    BIO_set_init(bio, 1);
    SSL_set_bio(ssl_, bio, bio);
    X509_VERIFY_PARAM* check = SSL_get0_param(ssl_);
    X509_VERIFY_PARAM_set_hostflags(check, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (X509_VERIFY_PARAM_set1_ip_asc(check, host) != 1) {
        ERR_clear_error();
        if (X509_VERIFY_PARAM_set1_host(check, host, 0) != 1 || SSL_set_tlsext_host_name(ssl_, host) != 1)
            return false;
    }
    SSL_set_connect_state(ssl_);
    return true;
}

OrnTls::Io OrnTls::outcome(int ok, size_t* done)
{
    if (ok > 0)
        return Io::Done;
    *done = 0;
    switch (SSL_get_error(ssl_, ok)) {
    case SSL_ERROR_WANT_READ:
        return Io::WantRead;
    case SSL_ERROR_WANT_WRITE:
        return Io::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
        return Io::Closed;
    default:
        return Io::Failed;
    }
}

OrnTls::Io OrnTls::handshake()
{
    std::lock_guard hold(lock_);
    ERR_clear_error();
    size_t none = 0;
    const Io step = outcome(SSL_do_handshake(ssl_), &none);
    if (step == Io::Done)
        readPeer();
    // A peer that closes in the middle has not finished the handshake either.
    return step == Io::Closed ? Io::Failed : step;
}

void OrnTls::readPeer()
{
    peer_ = {};
    X509* certificate = SSL_get1_peer_certificate(ssl_);
    if (!certificate) {
        peer_.reason = "the server sent no certificate";
        return;
    }
    const long result = SSL_get_verify_result(ssl_);
    peer_.verified = result == X509_V_OK;
    if (!peer_.verified)
        peer_.reason = X509_verify_cert_error_string(result);
    peer_.subject = printed([&](BIO* out) {
        return X509_NAME_print_ex(out, X509_get_subject_name(certificate), 0, XN_FLAG_RFC2253);
    });
    peer_.issuer = printed([&](BIO* out) {
        return X509_NAME_print_ex(out, X509_get_issuer_name(certificate), 0, XN_FLAG_RFC2253);
    });
    peer_.notBefore = printed([&](BIO* out) { return ASN1_TIME_print(out, X509_get0_notBefore(certificate)); });
    peer_.notAfter = printed([&](BIO* out) { return ASN1_TIME_print(out, X509_get0_notAfter(certificate)); });
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (X509_digest(certificate, EVP_sha256(), digest, &size) == 1) {
        for (unsigned int i = 0; i < size; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, i ? ":%02X" : "%02X", digest[i]);
            peer_.fingerprint += hex;
        }
    }
    X509_free(certificate);
}

OrnTls::Io OrnTls::read(uint8_t* into, size_t room, size_t* done)
{
    std::lock_guard hold(lock_);
    ERR_clear_error();
    return outcome(SSL_read_ex(ssl_, into, room, done), done);
}

OrnTls::Io OrnTls::write(const uint8_t* from, size_t length, size_t* done)
{
    std::lock_guard hold(lock_);
    ERR_clear_error();
    return outcome(SSL_write_ex(ssl_, from, length, done), done);
}

void OrnTls::close()
{
    {
        std::lock_guard hold(lock_);
        if (ssl_ && SSL_is_init_finished(ssl_)) {
            ERR_clear_error();
            SSL_shutdown(ssl_);
        }
    }
    drop();
}

void OrnTls::drop()
{
    std::lock_guard hold(lock_);
    SSL_free(ssl_); // frees the BIO too
    SSL_CTX_free(context_);
    ssl_ = nullptr;
    context_ = nullptr;
}

std::string OrnTls::lastError()
{
    char text[256];
    ERR_error_string_n(ERR_peek_last_error(), text, sizeof text);
    return text;
}
