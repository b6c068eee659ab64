#include "tests/support/SambaAdServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace server_process;

namespace {

constexpr const char* kSamba = "/usr/sbin/samba";
constexpr const char* kSambaTool = "/usr/bin/samba-tool";
constexpr const char* kIp = "/usr/sbin/ip";
constexpr auto kStartTimeout = std::chrono::seconds(60);

std::string temporaryRoot()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

std::string trimmed(std::string text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

// An exclusive lock on the file, held while the descriptor is open; -1 when
// another process holds it and wait is false.
int lockFile(const std::string& path, bool wait)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error(systemError("cannot open " + path));
    while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        if (errno == EINTR)
            continue;
        ::close(fd);
        if (!wait && errno == EWOULDBLOCK)
            return -1;
        throw std::runtime_error(systemError("cannot lock " + path));
    }
    return fd;
}

// The provisioned domain every instance copies, made by the first process
// that needs it; the others wait on the lock.
std::string provisionedDomain()
{
    const std::string scratch = makeTemporaryDirectory("orn-samba-version");
    runToEnd(kSamba, { "samba", "--version" }, scratch + "/version", "samba --version failed");
    std::string version = trimmed(readFile(scratch + "/version"));
    fs::remove_all(scratch);
    for (char& c : version)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.')
            c = '-';
    const std::string dir = temporaryRoot() + "/orn-samba-domain-" + version;
    const int lock = lockFile(dir + ".lock", true);
    try {
        if (!fs::exists(dir + "/provisioned")) {
            fs::remove_all(dir);
            fs::create_directories(dir);
            runToEnd(kSambaTool,
                { "samba-tool", "domain", "provision", std::string("--realm=") + SambaAdServer::realm(),
                    std::string("--domain=") + SambaAdServer::domain(),
                    std::string("--adminpass=") + SambaAdServer::adminPassword(), "--server-role=dc",
                    "--dns-backend=NONE", "--host-name=dc1", "--targetdir=" + dir },
                dir + ".provision.log", "samba-tool could not provision the test domain");
            writeFile(dir + "/provisioned", "");
        }
    } catch (...) {
        ::close(lock);
        throw;
    }
    ::close(lock);
    return dir;
}

} // namespace

SambaAdServer::SambaAdServer(SambaAdOptions options)
{
    if (::geteuid() != 0)
        throw ServerUnavailable("Samba AD needs root here: its LDAP port is 389 and its address is added to lo");
    for (const char* program : { kSamba, kSambaTool, kIp })
        if (::access(program, X_OK) != 0)
            throw ServerUnavailable(std::string(program) + " is missing: install samba, samba-ad-dc, "
                                    "samba-ad-provision, samba-dsdb-modules and iproute2");
    const std::string provisioned = provisionedDomain();
    dir_ = makeTemporaryDirectory("orn-samba");
    try {
        takeAddress();
        copyDomain(provisioned);
        const std::string conf = dir_ + "/etc/smb.conf";
        // -F: foreground, our child; -M single: one process.
        pid_ = spawn(kSamba, { "samba", "-F", "-M", "single", "-s", conf, "--debug-stdout" }, dir_ + "/log/stdout");
        if (!waitUntilAnswering(pid_, kStartTimeout, [this] { return answersBind(host_, port()); })) {
            const bool timedOut = running();
            stop();
            throw std::runtime_error("samba " + std::string(timedOut ? "did not answer within 60 s" : "exited")
                + " on " + url() + " (directory " + dir_ + "). Its output:\n" + log());
        }
        if (!options.ldifText.empty()) {
            writeFile(dir_ + "/given.ldif", options.ldifText);
            runToEnd("/usr/bin/ldapadd",
                { "ldapadd", "-x", "-H", url(), "-D", adminPrincipal(), "-w", adminPassword(), "-f",
                    dir_ + "/given.ldif" },
                dir_ + "/log/ldapadd", "ldapadd could not load the suite's LDIF into Samba");
        }
    } catch (...) {
        stop();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        throw;
    }
}

SambaAdServer::~SambaAdServer()
{
    stop();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::string SambaAdServer::log() const
{
    return readFile(dir_ + "/log/stdout");
}

void SambaAdServer::stop()
{
    endChild(pid_, SIGTERM, 10000);
    releaseAddress();
}

// The first of 127.0.0.2 and up that no other test process holds.
void SambaAdServer::takeAddress()
{
    for (int last = 2; last < 255; ++last) {
        const std::string address = "127.0.0." + std::to_string(last);
        addressLock_ = lockFile(temporaryRoot() + "/orn-samba-" + address + ".lock", false);
        if (addressLock_ < 0)
            continue;
        host_ = address;
        // An address left by a crashed run is there already; that is fine.
        try {
            runToEnd(kIp, { "ip", "addr", "add", host_ + "/32", "dev", "lo" }, dir_ + "/ip.log", "ip addr add");
            addressAdded_ = true;
        } catch (const std::runtime_error&) {
            // Older iproute2 says "File exists", newer "Address already assigned".
            const std::string said = readFile(dir_ + "/ip.log");
            if (said.find("File exists") == std::string::npos && said.find("already assigned") == std::string::npos)
                throw std::runtime_error("cannot add " + host_ + " to lo:\n" + readFile(dir_ + "/ip.log"));
        }
        return;
    }
    throw std::runtime_error("no loopback address left for Samba");
}

void SambaAdServer::releaseAddress()
{
    if (addressAdded_) {
        try {
            runToEnd(kIp, { "ip", "addr", "del", host_ + "/32", "dev", "lo" }, dir_ + "/ip.log", "ip addr del");
        } catch (const std::runtime_error&) {
            // Left on lo: harmless, and the next instance takes it as it is.
        }
        addressAdded_ = false;
    }
    if (addressLock_ >= 0)
        ::close(addressLock_);
    addressLock_ = -1;
}

void SambaAdServer::copyDomain(const std::string& provisioned) const
{
    runToEnd("/bin/cp", { "cp", "-a", provisioned + "/.", dir_ }, dir_ + "/cp.log", "cannot copy the test domain");
    fs::create_directories(dir_ + "/run");
    fs::create_directories(dir_ + "/log");
    const std::string confPath = dir_ + "/etc/smb.conf";
    std::string conf = readFile(confPath);
    replaceAll(conf, provisioned, dir_);
    // LDAP only, on our address, simple binds over plain LDAP, nothing
    // written outside the instance.
    std::string kept;
    for (std::size_t start = 0; start < conf.size();) {
        std::size_t end = conf.find('\n', start);
        std::string line = conf.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
        start = end == std::string::npos ? conf.size() : end + 1;
        if (line.find("\tlog file = ") == 0 || line.find("\tserver services = ") == 0)
            continue;
        kept += line;
        if (line == "[global]\n")
            kept += "\tldap server require strong auth = no\n\tserver services = ldap\n\tinterfaces = " + host_
                + "\n\tbind interfaces only = yes\n\tpid directory = " + dir_ + "/run\n\tncalrpc dir = " + dir_
                + "/run/ncalrpc\n\twinbindd socket directory = " + dir_ + "/run/winbindd\n"
                + "\tntp signd socket directory = " + dir_ + "/run/ntp_signd\n\tlog file = " + dir_
                + "/log/log.%m\n\tlog level = 1\n\tdsdb:schema update allowed = yes\n";
    }
    writeFile(confPath, kept);
}
