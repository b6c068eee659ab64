// A real OpenLDAP server for tests: /usr/sbin/slapd on 127.0.0.1, on a port
// of its own, with a fresh mdb database in a temporary directory.
//
// The object owns the slapd process and the directory. The constructor
// returns once the server answers a bind; the destructor stops the server
// (SIGTERM, then SIGKILL) and removes the directory. Failures throw
// std::runtime_error with slapd's own output attached.
//
// The directory holds suffix() with the schemas core, cosine, inetorgperson
// and nis plus data/orn.schema. Anonymous clients read everything but
// userPassword, which serves only to authenticate; bound users may write,
// unless the suite's access say otherwise.
//
// Create, stop and destroy the object on one thread: slapd is started with a
// parent-death signal, which the kernel ties to the starting thread, so a
// crashed test does not leave servers behind.
#pragma once

#include "tests/support/ServerProcess.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct SlapdOptions {
    // LDIF loaded with slapadd before the server starts; empty: none.
    std::string ldifFile;
    // The same, given as text; loaded after ldifFile.
    std::string ldifText;
    // slapd refuses LDAPv2 binds unless told otherwise.
    bool allowBindV2 = false;
    // Limits for everyone but the admin; -1 is unlimited. 500 and 3600 are slapd's defaults.
    int sizeLimit = 500;
    int timeLimit = 3600;
    // A second database with this suffix, such as one of a single RDN
    // ("o=flat"), loaded with secondLdifText; empty: none.
    std::string secondSuffix;
    std::string secondLdifText;
    // slapd.conf access directives placed before the default ones. slapd
    // obeys the first "access to" whose target matches, so a directive here
    // for attrs=userPassword takes the place of the default one.
    std::string access;
    // The same for the frontend, which holds the root DSE.
    std::string frontendAccess;
    // With a certificate and its key, slapd offers StartTLS on port() and
    // listens for LDAPS on ldapsPort() too.
    std::string tlsCertificateFile;
    std::string tlsKeyFile;
};

class SlapdServer {
public:
    explicit SlapdServer(SlapdOptions options = {});
    ~SlapdServer();
    SlapdServer(const SlapdServer&) = delete;
    SlapdServer& operator=(const SlapdServer&) = delete;

    const std::string& host() const { return host_; }
    uint16_t port() const { return port_; }
    // "ldap://127.0.0.1:PORT"
    std::string url() const;
    // The LDAPS listener's port: 0 without a certificate.
    uint16_t ldapsPort() const { return ldapsPort_; }

    static const char* suffix() { return "dc=example,dc=com"; }
    static const char* adminDn() { return "cn=admin,dc=example,dc=com"; }
    static const char* adminPassword() { return "secret"; }
    // 2 with allowBindV2, else 3.
    int lowestBindVersion() const { return options_.allowBindV2 ? 2 : 3; }

    // The temporary directory: slapd.conf, slapd.log, db/.
    const std::string& directory() const { return dir_; }
    // Everything slapd and slapadd have written so far.
    std::string log() const;

    bool running() const { return pid_ > 0; }
    // Shuts the server down: its clients see their connections close.
    // SIGTERM, then SIGKILL if it has not exited within five seconds.
    // Does nothing when the server is not running.
    void stop();
    // SIGKILL at once, for a server that dies instead of shutting down.
    void kill();
    // Starts the stopped server again on the same port with the same data.
    void restart();
    // SIGSTOP: the server still takes connections (the kernel does) but
    // answers nothing, as a hung server does, until thaw (SIGCONT).
    void freeze();
    void thaw();

    // The values of one attribute of an entry as OpenLDAP's ldapsearch reads
    // them (bound as the admin), bytes as they are, in the server's order.
    std::vector<std::string> ldapsearchValues(const std::string& dn, const std::string& attribute) const;
    // The entry as `ldapsearch -LLL` writes it (bound as the admin, lines
    // unwrapped), without its dn line: every value, empty ones too, binary
    // and blank ones in base64.
    std::string ldapsearchEntry(const std::string& dn) const;

    // The project's data/ folder ($ORN_DATA_DIR overrides it).
    static std::string dataDirectory();
    // data/test-directory.ldif: the base that tests and the demo load.
    static std::string testDirectoryLdif();

private:
    void writeConfig() const;
    // Into the database of the suffix; empty: the first.
    void load(const std::string& ldifPath, const std::string& suffix = {});
    void launch();
    bool waitUntilAnswering();
    std::string launchLog() const;
    void reservePort();

    SlapdOptions options_;
    std::string host_ = "127.0.0.1";
    std::string slapd_;
    std::string dir_;
    uint16_t port_ = 0;
    uint16_t ldapsPort_ = 0;
    server_process::PortHolder ldapsPortHolder_;
    // Bound, never listening: keeps other tests from being handed our port,
    // even while the server is stopped. slapd binds beside it (SO_REUSEADDR).
    server_process::PortHolder portHolder_;
    pid_t pid_ = -1;
    // Size of slapd.log when the current slapd was launched.
    std::uintmax_t logStart_ = 0;
};
