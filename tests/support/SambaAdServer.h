// A real Samba Active Directory domain controller for tests, serving LDAP
// only: realm EXAMPLE.TEST, domain EXAMPLE, on port 389 (Samba's LDAP port
// cannot be moved) of a loopback address of its own, 127.0.0.2 and up, which
// the fixture adds to lo and removes again. Simple binds are allowed over
// plain LDAP.
//
// The domain is provisioned once per machine and Samba version (about 20 s)
// into $TMPDIR and copied for each instance. The constructor returns once
// the server answers a bind; the destructor stops it and removes the copy.
// Without root (port 389, the address) it throws ServerUnavailable.
#pragma once

#include "tests/support/ServerProcess.h"

#include <string>
#include <sys/types.h>

struct SambaAdOptions {
    // LDIF added as the Administrator once the server answers.
    std::string ldifText;
};

class SambaAdServer {
public:
    explicit SambaAdServer(SambaAdOptions options = {});
    ~SambaAdServer();
    SambaAdServer(const SambaAdServer&) = delete;
    SambaAdServer& operator=(const SambaAdServer&) = delete;

    const std::string& host() const { return host_; }
    static constexpr int port() { return 389; }
    std::string url() const { return "ldap://" + host_; }

    static const char* suffix() { return "DC=example,DC=test"; }
    static const char* realm() { return "EXAMPLE.TEST"; }
    static const char* domain() { return "EXAMPLE"; }
    // The Administrator's three simple-bind names: DN, user principal name
    // and down-level logon name.
    static const char* adminDn() { return "CN=Administrator,CN=Users,DC=example,DC=test"; }
    static const char* adminPrincipal() { return "Administrator@EXAMPLE.TEST"; }
    static const char* adminDownLevel() { return "EXAMPLE\\Administrator"; }
    static const char* adminPassword() { return "Passw0rd!Test"; }

    const std::string& directory() const { return dir_; }
    std::string log() const;

    bool running() const { return pid_ > 0; }
    void stop();

private:
    void takeAddress();
    void releaseAddress();
    void copyDomain(const std::string& provisioned) const;

    std::string host_;
    std::string dir_;
    int addressLock_ = -1;
    bool addressAdded_ = false;
    pid_t pid_ = -1;
};
