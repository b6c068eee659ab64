// Certificates for TLS tests, made with OpenSSL when the test runs: a test
// CA, and server certificates it signs with the names and dates a test asks
// for. Nothing is committed; the files live in the folder given.
//
// The object owns the CA's key; issue() rewrites the server's files in place,
// so a server restarted afterwards presents the new certificate.
#pragma once

#include <memory>
#include <string>

class TestCertificates {
public:
    struct Server {
        // subjectAltName, in openssl's configuration syntax.
        std::string names = "IP:127.0.0.1,DNS:localhost";
        // Validity, in days from now.
        long fromDays = -1;
        long toDays = 30;
        // Signed by a CA made for this certificate only, which no one trusts.
        bool unknownIssuer = false;
    };

    // Makes the CA and a server certificate with the default names and dates.
    explicit TestCertificates(std::string folder);
    ~TestCertificates();
    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;

    void issue(const Server& server);

    std::string caFile() const { return folder_ + "/ca.pem"; }
    std::string certificateFile() const { return folder_ + "/server.pem"; }
    std::string keyFile() const { return folder_ + "/server-key.pem"; }
    // SHA-256 of the server certificate as `openssl x509 -fingerprint` gives it: "AB:CD:...".
    std::string fingerprint() const;

private:
    struct Authority;
    std::string folder_;
    std::unique_ptr<Authority> ca_;
};
