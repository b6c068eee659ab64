#include "tests/support/SlapdServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kSlapd = "/usr/sbin/slapd";
constexpr const char* kSchemaDir = "/etc/ldap/schema";
constexpr const char* kModuleDir = "/usr/lib/ldap";
constexpr auto kStartTimeout = std::chrono::seconds(10);

std::string systemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

// slapd.conf takes double-quoted arguments; temporary paths may hold blanks.
std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// An enforcing AppArmor profile for /usr/sbin/slapd (Ubuntu ships one) allows
// only the packaged paths, not our temporary directory. Profiles attach by
// path, so a copy of the binary runs unconfined.
bool appArmorConfinesSlapd()
{
    std::ifstream enabled("/sys/module/apparmor/parameters/enabled");
    std::string flag;
    if (!(enabled >> flag) || flag != "Y")
        return false;
    std::ifstream profiles("/sys/kernel/security/apparmor/profiles");
    if (!profiles)
        return fs::exists("/etc/apparmor.d/usr.sbin.slapd");
    for (std::string line; std::getline(profiles, line);)
        if (line.find("slapd") != std::string::npos && line.find("(enforce)") != std::string::npos)
            return true;
    return false;
}

// Runs program with argv (argv[0] chooses the slapd tool: slapd, slapadd, ...),
// standard input from /dev/null, output appended to logPath.
pid_t spawn(const std::string& program, const std::vector<std::string>& args, const std::string& logPath)
{
    // Everything the child needs is built here: between fork and exec it may
    // only make async-signal-safe calls.
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0)
        throw std::runtime_error(systemError("cannot open " + logPath));
    int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (null < 0) {
        ::close(log);
        throw std::runtime_error(systemError("cannot open /dev/null"));
    }
    pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid == 0) {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        // Dies with the test process, even one that crashed.
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
            ::_exit(127);
        if (::dup2(null, 0) < 0 || ::dup2(log, 1) < 0 || ::dup2(log, 2) < 0)
            ::_exit(127);
        ::close_range(3, ~0U, 0);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int forkErrno = errno;
    ::close(log);
    ::close(null);
    if (pid < 0) {
        errno = forkErrno;
        throw std::runtime_error(systemError("fork"));
    }
    return pid;
}

// Runs a tool to its end; throws with its output when it fails.
void runToEnd(const std::string& program, const std::vector<std::string>& args, const std::string& logPath,
    const std::string& failure)
{
    pid_t pid = spawn(program, args, logPath);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(failure + ":\n" + readFile(logPath));
}

bool sendAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// One anonymous LDAPv3 bind answered with success: the port is slapd's and
// its database is open.
bool answersBind(uint16_t port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        // BindRequest id 1, version 3, empty name, simple empty password.
        const uint8_t bind[] = { 0x30, 0x0c, 0x02, 0x01, 0x01, 0x60, 0x07, 0x02, 0x01, 0x03, 0x04, 0x00, 0x80, 0x00 };
        uint8_t reply[64];
        size_t have = 0;
        if (sendAll(fd, bind, sizeof bind)) {
            auto deadline = Clock::now() + std::chrono::milliseconds(500);
            // 30 LL 02 01 01 61 LL 0a 01 <resultCode>
            while (have < 10 && Clock::now() < deadline) {
                pollfd p { fd, POLLIN, 0 };
                if (::poll(&p, 1, 50) <= 0)
                    continue;
                ssize_t n = ::recv(fd, reply + have, sizeof reply - have, 0);
                if (n <= 0)
                    break;
                have += static_cast<size_t>(n);
            }
            ok = have >= 10 && reply[0] == 0x30 && reply[5] == 0x61 && reply[7] == 0x0a && reply[9] == 0x00;
        }
        // UnbindRequest id 2.
        const uint8_t unbind[] = { 0x30, 0x05, 0x02, 0x01, 0x02, 0x42, 0x00 };
        if (ok)
            sendAll(fd, unbind, sizeof unbind);
    }
    ::close(fd);
    return ok;
}

} // namespace

std::string SlapdServer::dataDirectory()
{
    if (const char* dir = std::getenv("ORN_DATA_DIR"); dir && *dir)
        return dir;
    // This file lives in tests/support/ of the source tree.
    return (fs::path(__FILE__).parent_path().parent_path().parent_path() / "data").string();
}

std::string SlapdServer::testDirectoryLdif()
{
    return dataDirectory() + "/test-directory.ldif";
}

SlapdServer::SlapdServer(SlapdOptions options)
    : options_(std::move(options))
{
    if (::access(kSlapd, X_OK) != 0)
        throw std::runtime_error(std::string(kSlapd) + " is missing: install the Debian package slapd");
    std::string schema = dataDirectory() + "/orn.schema";
    if (!fs::exists(schema))
        throw std::runtime_error("cannot find " + schema + " (set ORN_DATA_DIR)");

    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/orn-slapd-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error(systemError("mkdtemp " + pattern));
    dir_ = pattern;

    try {
        fs::create_directory(dir_ + "/db");
        slapd_ = kSlapd;
        if (appArmorConfinesSlapd()) {
            slapd_ = dir_ + "/slapd";
            fs::copy_file(kSlapd, slapd_);
        }
        writeConfig();
        if (!options_.ldifFile.empty())
            load(options_.ldifFile);
        if (!options_.ldifText.empty()) {
            writeFile(dir_ + "/given.ldif", options_.ldifText);
            load(dir_ + "/given.ldif");
        }
        // Our port holder keeps our own tests apart; another program may still
        // have taken the port in between, and then a fresh port is tried.
        for (int attempt = 0;; ++attempt) {
            reservePort();
            launch();
            if (waitUntilAnswering())
                return;
            bool portTaken = !running() && launchLog().find("Address already in use") != std::string::npos;
            if (!portTaken || attempt == 4) {
                bool timedOut = running();
                kill();
                throw std::runtime_error("slapd " + std::string(timedOut ? "did not answer within 10 s" : "exited")
                    + " on " + url() + " (directory " + dir_ + "). Its output:\n" + log());
            }
            ::close(portHolder_);
            portHolder_ = -1;
            port_ = 0;
        }
    } catch (...) {
        kill();
        if (portHolder_ >= 0)
            ::close(portHolder_);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        throw;
    }
}

SlapdServer::~SlapdServer()
{
    stop();
    if (portHolder_ >= 0)
        ::close(portHolder_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::string SlapdServer::url() const
{
    return "ldap://" + host_ + ":" + std::to_string(port_);
}

std::string SlapdServer::log() const
{
    return readFile(dir_ + "/slapadd.log") + readFile(dir_ + "/slapd.log");
}

void SlapdServer::writeConfig() const
{
    auto limit = [](int value) { return value < 0 ? std::string("unlimited") : std::to_string(value); };
    std::ostringstream conf;
    for (const char* name : { "core", "cosine", "inetorgperson", "nis" })
        conf << "include " << quoted(std::string(kSchemaDir) + "/" + name + ".schema") << "\n";
    conf << "include " << quoted(dataDirectory() + "/orn.schema") << "\n";
    conf << "pidfile " << quoted(dir_ + "/slapd.pid") << "\n";
    conf << "argsfile " << quoted(dir_ + "/slapd.args") << "\n";
    conf << "modulepath " << kModuleDir << "\nmoduleload back_mdb\n";
    if (options_.allowBindV2)
        conf << "allow bind_v2\n";
    conf << "sizelimit " << limit(options_.sizeLimit) << "\n";
    conf << "timelimit " << limit(options_.timeLimit) << "\n\n";

    conf << "database mdb\n";
    // Address space only; the large searches of the benchmarks need room.
    conf << "maxsize 1073741824\n";
    // A test database need not survive a crash.
    conf << "dbnosync\n";
    conf << "directory " << quoted(dir_ + "/db") << "\n";
    conf << "suffix " << quoted(suffix()) << "\n";
    conf << "rootdn " << quoted(adminDn()) << "\n";
    conf << "rootpw " << adminPassword() << "\n";
    conf << "index objectClass eq\nindex uid,cn eq\nindex OrnAttrObjectLink eq\n";
    conf << "access to attrs=userPassword\n"
            "    by users write\n"
            "    by anonymous auth\n"
            "    by * none\n"
            "access to *\n"
            "    by users write\n"
            "    by * read\n";
    writeFile(dir_ + "/slapd.conf", conf.str());
}

void SlapdServer::load(const std::string& ldifPath)
{
    runToEnd(slapd_, { "slapadd", "-q", "-f", dir_ + "/slapd.conf", "-l", ldifPath }, dir_ + "/slapadd.log",
        "slapadd could not load " + ldifPath);
}

std::vector<std::string> SlapdServer::ldapsearchValues(const std::string& dn, const std::string& attribute) const
{
    // -tt writes every value to a file of its own, bytes as they are.
    const std::string folder = dir_ + "/ldapsearch";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    const std::string output = folder + "/output";
    runToEnd("/usr/bin/ldapsearch",
        { "ldapsearch", "-LLL", "-tt", "-T", folder, "-o", "ldif-wrap=no", "-x", "-H", url(), "-D", adminDn(), "-w",
            adminPassword(), "-s", "base", "-b", dn, "(objectClass=*)", attribute },
        output, "ldapsearch could not read " + dn);
    std::vector<std::string> values;
    std::istringstream lines(readFile(output));
    const std::string marker = ":< file://";
    for (std::string line; std::getline(lines, line);)
        if (std::size_t at = line.find(marker); at != std::string::npos)
            values.push_back(readFile(line.substr(at + marker.size())));
    return values;
}

void SlapdServer::reservePort()
{
    portHolder_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (portHolder_ < 0)
        throw std::runtime_error(systemError("socket"));
    int on = 1;
    ::setsockopt(portHolder_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(portHolder_, reinterpret_cast<sockaddr*>(&address), length) != 0
        || ::getsockname(portHolder_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error(systemError("cannot reserve a loopback port"));
    port_ = ntohs(address.sin_port);
}

std::string SlapdServer::launchLog() const
{
    std::string text = readFile(dir_ + "/slapd.log");
    return logStart_ < text.size() ? text.substr(logStart_) : std::string();
}

void SlapdServer::launch()
{
    std::error_code missing;
    auto size = fs::file_size(dir_ + "/slapd.log", missing);
    logStart_ = missing ? 0 : size;
    // "-d none" keeps slapd in the foreground, our child, and logs only
    // what it always logs: start, stop and errors.
    pid_ = spawn(slapd_, { "slapd", "-f", dir_ + "/slapd.conf", "-h", url() + "/", "-d", "none" }, dir_ + "/slapd.log");
}

bool SlapdServer::waitUntilAnswering()
{
    auto deadline = Clock::now() + kStartTimeout;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        // slapd logs "slapd starting" only once its listener is bound, so the
        // answer cannot have come from another program on this port.
        if (answersBind(port_) && launchLog().find("slapd starting") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void SlapdServer::terminate(int signal, int graceMs)
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, signal);
    ::kill(pid_, SIGCONT); // a frozen server takes no signal but SIGKILL
    int status = 0;
    auto deadline = Clock::now() + std::chrono::milliseconds(graceMs);
    while (Clock::now() < deadline) {
        pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno == ECHILD)) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) { }
    pid_ = -1;
}

void SlapdServer::stop()
{
    terminate(SIGTERM, 5000);
}

void SlapdServer::kill()
{
    terminate(SIGKILL, 0);
}

void SlapdServer::freeze()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGSTOP);
    // Until every thread has stopped, a request may still be answered.
    int status = 0;
    while (::waitpid(pid_, &status, WUNTRACED) < 0 && errno == EINTR) { }
}

void SlapdServer::thaw()
{
    if (pid_ > 0)
        ::kill(pid_, SIGCONT);
}

void SlapdServer::restart()
{
    stop();
    launch();
    if (!waitUntilAnswering()) {
        kill();
        throw std::runtime_error("slapd did not start again on " + url() + ". Its output:\n" + log());
    }
}
