#include "tests/support/TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <utility>

namespace {

constexpr long kDay = 24 * 60 * 60;

struct Key {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    ~Key() { EVP_PKEY_free(key); }
};

struct Certificate {
    X509* cert = X509_new();
    ~Certificate() { X509_free(cert); }
};

void check(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string("TestCertificates: ") + what);
}

void addExtension(X509* cert, X509* issuer, int nid, const std::string& value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    check(extension && X509_add_ext(cert, extension, -1) == 1, "extension");
    X509_EXTENSION_free(extension);
}

void fill(X509* cert, EVP_PKEY* key, const char* commonName, long serial, long fromDays, long toDays)
{
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert), fromDays * kDay);
    X509_gmtime_adj(X509_getm_notAfter(cert), toDays * kDay);
    X509_set_pubkey(cert, key);
    X509_NAME_add_entry_by_txt(X509_get_subject_name(cert), "O", MBSTRING_ASC,
        reinterpret_cast<const unsigned char*>("Velmora tests"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(X509_get_subject_name(cert), "CN", MBSTRING_ASC,
        reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
}

void write(const std::string& path, const std::function<int(FILE*)>& print)
{
    FILE* file = std::fopen(path.c_str(), "w");
    check(file != nullptr, "cannot write a file");
    const int ok = print(file);
    std::fclose(file);
    check(ok == 1, "PEM");
}

} // namespace

struct TestCertificates::Authority {
    Key key;
    Certificate certificate;

    Authority(const char* name, long serial)
    {
        check(key.key && certificate.cert, "no memory");
        fill(certificate.cert, key.key, name, serial, -1, 365);
        X509_set_issuer_name(certificate.cert, X509_get_subject_name(certificate.cert));
        addExtension(certificate.cert, certificate.cert, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(certificate.cert, certificate.cert, NID_key_usage, "critical,keyCertSign,cRLSign");
        addExtension(certificate.cert, certificate.cert, NID_subject_key_identifier, "hash");
        check(X509_sign(certificate.cert, key.key, EVP_sha256()) > 0, "sign");
    }
};

TestCertificates::TestCertificates(std::string folder)
    : folder_(std::move(folder)), ca_(std::make_unique<Authority>("Velmora test CA", 1))
{
    write(caFile(), [&](FILE* file) { return PEM_write_X509(file, ca_->certificate.cert); });
    issue({});
}

TestCertificates::~TestCertificates() = default;

void TestCertificates::issue(const Server& server)
{
    static long serial = 100;
    std::unique_ptr<Authority> stranger;
    if (server.unknownIssuer)
        stranger = std::make_unique<Authority>("Unknown test CA", ++serial);
    const Authority& issuer = stranger ? *stranger : *ca_;
    Key key;
    Certificate leaf;
    check(key.key && leaf.cert, "no memory");
    fill(leaf.cert, key.key, "test server", ++serial, server.fromDays, server.toDays);
    X509_set_issuer_name(leaf.cert, X509_get_subject_name(issuer.certificate.cert));
    addExtension(leaf.cert, issuer.certificate.cert, NID_basic_constraints, "CA:FALSE");
    addExtension(leaf.cert, issuer.certificate.cert, NID_ext_key_usage, "serverAuth");
    addExtension(leaf.cert, issuer.certificate.cert, NID_subject_alt_name, server.names);
    check(X509_sign(leaf.cert, issuer.key.key, EVP_sha256()) > 0, "sign");
    write(certificateFile(), [&](FILE* file) { return PEM_write_X509(file, leaf.cert); });
    write(keyFile(), [&](FILE* file) {
        return PEM_write_PrivateKey(file, key.key, nullptr, nullptr, 0, nullptr, nullptr);
    });
}

std::string TestCertificates::fingerprint() const
{
    const std::string command = "openssl x509 -noout -fingerprint -sha256 -in '" + certificateFile() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    check(pipe != nullptr, "cannot run openssl");
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    ::pclose(pipe);
    std::string text = read ? line : "";
    const auto equals = text.find('=');
    check(equals != std::string::npos, "openssl x509 -fingerprint gave no fingerprint");
    text = text.substr(equals + 1);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}
