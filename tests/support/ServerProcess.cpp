#include "tests/support/ServerProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace server_process {

using Clock = std::chrono::steady_clock;

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

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string makeTemporaryDirectory(const std::string& prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error(systemError("mkdtemp " + pattern));
    return pattern;
}

pid_t spawn(const std::string& program, const std::vector<std::string>& args, const std::string& logPath,
    const std::string& runAs)
{
    const passwd* user = nullptr;
    if (!runAs.empty() && ::geteuid() == 0 && !(user = ::getpwnam(runAs.c_str())))
        throw std::runtime_error("no user " + runAs);
    const uid_t uid = user ? user->pw_uid : 0;
    const gid_t gid = user ? user->pw_gid : 0;
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
        if (user && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            ::_exit(127);
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

void runToEnd(const std::string& program, const std::vector<std::string>& args, const std::string& logPath,
    const std::string& failure)
{
    pid_t pid = spawn(program, args, logPath);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(failure + ":\n" + readFile(logPath));
}

void endChild(pid_t& pid, int signal, int graceMs)
{
    if (pid <= 0)
        return;
    ::kill(pid, signal);
    ::kill(pid, SIGCONT); // a frozen server takes no signal but SIGKILL
    int status = 0;
    auto deadline = Clock::now() + std::chrono::milliseconds(graceMs);
    while (Clock::now() < deadline) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    pid = -1;
}

bool waitUntilAnswering(pid_t& pid, std::chrono::seconds limit, const std::function<bool()>& answers)
{
    auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return false;
        }
        if (answers())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

namespace {

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

} // namespace

bool answersBind(const std::string& ip, uint16_t port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    bool ok = false;
    if (::inet_pton(AF_INET, ip.c_str(), &address.sin_addr) == 1
        && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
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

uint16_t PortHolder::hold(uint16_t port)
{
    release();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        throw std::runtime_error(systemError("socket"));
    int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0
        || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error(systemError("cannot reserve a loopback port"));
    return ntohs(address.sin_port);
}

void PortHolder::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace server_process
