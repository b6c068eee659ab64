// What the fixtures of real directory servers share: files, child processes
// that die with the test process, a loopback port held for a server, and
// the check that a server answers LDAP.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <vector>

namespace server_process {

// This machine cannot run the server at all (it needs root, say): its
// suites skip, with the reason, instead of failing.
struct ServerUnavailable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string systemError(const std::string& what);
std::string readFile(const std::string& path);
// Throws when the file cannot be written.
void writeFile(const std::string& path, const std::string& text);
void replaceAll(std::string& text, const std::string& from, const std::string& to);
// A fresh directory under $TMPDIR (or /tmp) named from the prefix.
std::string makeTemporaryDirectory(const std::string& prefix);

// Runs program with args (args[0] is the name it sees), standard input from
// /dev/null, output appended to logPath. The child gets SIGKILL when the
// thread that started it ends, even in a crash. Under root, a user named in
// runAs runs it: a server that drops root itself would lose that signal.
pid_t spawn(const std::string& program, const std::vector<std::string>& args, const std::string& logPath,
    const std::string& runAs = {});
// Runs a tool to its end; throws failure and the tool's output when it fails.
void runToEnd(const std::string& program, const std::vector<std::string>& args, const std::string& logPath,
    const std::string& failure);
// Sends the signal and waits up to graceMs for the child to end, then
// kills it. pid becomes -1. Does nothing for a pid of -1.
void endChild(pid_t& pid, int signal, int graceMs);

// Waits until answers() holds, checking every 20 ms; false when the child
// ends first (pid becomes -1) or the limit passes.
bool waitUntilAnswering(pid_t& pid, std::chrono::seconds limit, const std::function<bool()>& answers);

// One anonymous LDAPv3 bind on ip:port answered with success.
bool answersBind(const std::string& ip, uint16_t port);

// A TCP socket bound, never listening, on a free port of 127.0.0.1 (or of
// `port` when it is not 0): our other servers are not handed that port,
// while a server binds beside it with SO_REUSEADDR.
class PortHolder {
public:
    PortHolder() = default;
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    uint16_t hold(uint16_t port = 0);
    void release();

private:
    int fd_ = -1;
};

} // namespace server_process
