// Our side of the search benchmark, run by search_bench as a child process so
// that its CPU time and peak RSS are its own.
//
//   search_client [--ldaps] HOST PORT BASE FILTER
//     Anonymous bind, one subtree search for all user attributes with
//     OrnSearchSync, the result held while memory is read, then freed.
//     --ldaps: over TLS from the first octet, the certificate checked
//     against SSL_CERT_FILE's CA.
//   search_client --wait-seconds N HOST PORT
//     Starts OrnBindSync on a thread against a server that never answers, with
//     a wait hook that always goes on (as the program's does while nobody
//     cancels), and ends the process after N seconds.
//
// Prints "key value" lines on standard output. The library traces only when
// VELMORA_TRACE asks it to, as in the program.
#include "ldap/OrnInterface.h"

#include <dirent.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

// Key "name:" of a /proc file of the form "name: value ...".
long long procValue(const char* file, const char* key)
{
    std::ifstream in(file);
    std::string line;
    size_t keyLength = std::strlen(key);
    while (std::getline(in, line))
        if (line.compare(0, keyLength, key) == 0 && line.size() > keyLength && line[keyLength] == ':')
            return std::atoll(line.c_str() + keyLength + 1);
    return -1;
}

// rchar counts read(), not recv(); the socket's own count is exact whichever
// call the library uses. Summed over this process's TCP sockets.
long long tcpBytesReceived()
{
    long long total = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return -1;
    while (dirent* item = ::readdir(dir)) {
        int fd = std::atoi(item->d_name);
        struct stat info { };
        if (item->d_name[0] == '.' || fd == ::dirfd(dir) || ::fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode))
            continue;
        tcp_info tcp {};
        socklen_t length = sizeof tcp;
        if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &tcp, &length) == 0
            && length >= offsetof(tcp_info, tcpi_bytes_received) + sizeof tcp.tcpi_bytes_received)
            total += static_cast<long long>(tcp.tcpi_bytes_received);
    }
    ::closedir(dir);
    return total;
}

long long cpuMicroseconds(const rusage& usage)
{
    auto us = [](timeval t) { return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_usec; };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

int fail(const char* what, int code)
{
    std::fprintf(stderr, "search_client: %s failed: %d\n", what, code);
    return 1;
}

struct GoOnHook final : OrnWaitHook {
    bool goOn(int32_t) override
    {
        ++asks;
        return true;
    }
    void waitEnded() override { }
    std::atomic<long long> asks { 0 };
};

int waitForSilentServer(int seconds, const char* host, uint32_t port)
{
    // Leaked on purpose: the process ends with the call still waiting.
    auto* service = new OrnLdapService(host, port);
    auto* hook = new GoOnHook;
    service->OrnSetWaitHook(hook);
    service->OrnSetLdapVersion(3);
    if (int32_t rc = service->OrnInitialise(); rc != 0)
        return fail("OrnInitialise", rc);
    // CPU of the whole process (all threads) from the call to the end of the wait.
    rusage before {};
    ::getrusage(RUSAGE_SELF, &before);
    std::atomic<bool> returned { false };
    std::atomic<int32_t> code { 0 };
    auto start = std::chrono::steady_clock::now();
    std::atomic<long long> returnedAfterMs { -1 };
    std::thread caller([&] {
        code = service->OrnBindSync("", "", 0xA0);
        returnedAfterMs
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        returned = true;
    });
    caller.detach();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    rusage after {};
    ::getrusage(RUSAGE_SELF, &after);
    std::printf("call_returned %d\ncall_code %d\ncall_returned_after_ms %lld\nwait_cpu_us %lld\nhook_asks %lld\n",
        returned ? 1 : 0, static_cast<int>(code), static_cast<long long>(returnedAfterMs),
        cpuMicroseconds(after) - cpuMicroseconds(before), hook->asks.load());
    std::fflush(stdout);
    ::_exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--wait-seconds") == 0)
        return waitForSilentServer(std::atoi(argv[2]), argv[3], static_cast<uint32_t>(std::atoi(argv[4])));
    const bool ldaps = argc == 6 && std::strcmp(argv[1], "--ldaps") == 0;
    if (ldaps) {
        --argc;
        ++argv;
    }
    if (argc != 5) {
        std::fprintf(stderr,
            "usage: search_client [--ldaps] HOST PORT BASE FILTER\n"
            "       search_client --wait-seconds N HOST PORT\n");
        return 2;
    }
    const char* host = argv[1];
    auto port = static_cast<uint32_t>(std::atoi(argv[2]));

    OrnLdapService service(host, port);
    service.OrnSetLdapVersion(3);
    service.OrnSetSecurity(ldaps ? ORN_SECURITY_LDAPS : ORN_SECURITY_PLAIN);
    if (int32_t rc = service.OrnInitialise(); rc != 0)
        return fail("OrnInitialise", rc);
    if (const OrnTlsPeer* peer = service.OrnGetTlsPeer(); peer && !peer->verified)
        return fail(peer->reason.c_str(), 0);
    if (int32_t rc = service.OrnBindSync("", "", 0xA0); rc != 0)
        return fail("OrnBindSync", rc);

    long long rssBefore = procValue("/proc/self/status", "VmRSS");
    long long tcpBefore = tcpBytesReceived();
    long long rcharBefore = procValue("/proc/self/io", "rchar");

    EntryRecord* result = nullptr;
    int32_t rc = service.OrnSearchSync(argv[3], argv[4], nullptr, 0, 2, &result);

    long long rcharAfter = procValue("/proc/self/io", "rchar");
    long long tcpAfter = tcpBytesReceived();
    long long rssHolding = procValue("/proc/self/status", "VmRSS");
    if (rc != 0)
        return fail("OrnSearchSync", rc);

    long long entries = 0;
    long long values = 0;
    bool ended = false;
    for (EntryRecord* entry = result; entry; entry = entry->next) {
        if (!entry->attrs) {
            ended = entry->end_of_search == 1;
            continue;
        }
        ++entries;
        for (AttrRecord* attr = entry->attrs; attr; attr = attr->next)
            if (std::strcmp(attr->name, "dn") != 0)
                for (ValueRecord* value = attr->values; value; value = value->next)
                    ++values;
    }

    std::printf("entries %lld\nvalues %lld\nend_of_search %d\ntcp_bytes_received %lld\nrchar %lld\n"
                "rss_before_kb %lld\nrss_holding_kb %lld\n",
        entries, values, ended ? 1 : 0, tcpAfter - tcpBefore, rcharAfter - rcharBefore, rssBefore, rssHolding);
    std::fflush(stdout);

    OrnLdapService::OrnFreeResult(result);
    service.DestroyAll();
    return 0;
}
