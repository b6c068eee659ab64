#include "bench/ChildRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

Run runChild(
    const std::vector<std::string>& args, bool capture, int limitSeconds, const std::vector<std::string>& environment)
{
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // Built before fork: the child may only exec.
    std::vector<char*> envp;
    for (char** entry = environ; *entry; ++entry) {
        bool replaced = std::any_of(environment.begin(), environment.end(),
            [&](const std::string& added) { return std::strncmp(*entry, added.c_str(), added.find('=') + 1) == 0; });
        if (!replaced)
            envp.push_back(*entry);
    }
    for (const auto& added : environment)
        envp.push_back(const_cast<char*>(added.c_str()));
    envp.push_back(nullptr);
    int out[2] = { -1, -1 };
    if (capture) {
        if (::pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
    } else {
        out[1] = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    }
    pid_t parent = ::getpid();
    auto start = Clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
            ::_exit(127);
        if (::dup2(out[1], 1) < 0)
            ::_exit(127);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (pid < 0)
        throw std::runtime_error("fork failed");

    // A watchdog only; the measured children end by themselves.
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread watchdog([&, pid] {
        std::unique_lock lock(mutex);
        if (!ended.wait_for(lock, std::chrono::seconds(limitSeconds), [&] { return done; }))
            ::kill(pid, SIGKILL);
    });

    Run run;
    if (capture) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(out[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                run.output.append(buffer, static_cast<size_t>(n));
        ::close(out[0]);
    }
    int status = 0;
    rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) { }
    auto end = Clock::now();
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    ended.notify_one();
    watchdog.join();

    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed (status " + std::to_string(status) + ")");
    run.wallSeconds = std::chrono::duration<double>(end - start).count();
    auto seconds = [](timeval t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.maxRssKb = usage.ru_maxrss;
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string cachedLdif(const fs::path& dir, const char* name, void (*write)(const std::string& path))
{
    fs::path path = dir / name;
    if (!fs::exists(path)) {
        std::string partial = path.string() + ".partial";
        write(partial);
        fs::rename(partial, path);
    }
    return path.string();
}
