// A real 389 Directory Server for tests: /usr/sbin/ns-slapd on 127.0.0.1, on
// a port of its own, with a fresh instance (configuration, schema, mdb
// database) in a temporary directory and no system service touched.
//
// The constructor returns once the server answers a bind; the destructor
// stops it and removes the directory. Failures throw std::runtime_error
// with the server's own log attached.
//
// The instance holds suffix() with 389's own schema plus data/orn.schema.
// Anonymous clients read everything but userPassword, which serves only to
// authenticate; bound users may write; the Directory Manager may do anything. Run as root, the server drops to the user
// dirsrv (made by the Debian package) and outlives a crashed test process.
#pragma once

#include "tests/support/ServerProcess.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

struct Ds389Options {
    // LDIF imported (offline, as slapadd does for slapd) before the server
    // starts; comments are dropped. Without an entry for the suffix, one is
    // made. Either may be empty.
    std::string ldifFile;
    std::string ldifText;
};

class Ds389Server {
public:
    explicit Ds389Server(Ds389Options options = {});
    ~Ds389Server();
    Ds389Server(const Ds389Server&) = delete;
    Ds389Server& operator=(const Ds389Server&) = delete;

    const std::string& host() const { return host_; }
    uint16_t port() const { return port_; }
    std::string url() const;

    static const char* suffix() { return "dc=example,dc=com"; }
    static const char* adminDn() { return "cn=Directory Manager"; }
    static const char* adminPassword() { return "secret-389"; }

    const std::string& directory() const { return dir_; }
    // The server's errors log and its standard output so far.
    std::string log() const;

    bool running() const { return pid_ > 0; }
    void stop();

private:
    void makeInstance() const;
    void import(const std::string& ldif) const;
    void launch();
    bool waitUntilAnswering();

    Ds389Options options_;
    std::string host_ = "127.0.0.1";
    std::string dir_;
    std::string user_;
    uint16_t port_ = 0;
    server_process::PortHolder portHolder_;
    pid_t pid_ = -1;
};
