#include "OrnTrace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

class TraceSink {
public:
    // Standard error may be swapped under us (tests capture it), so only
    // another descriptor chosen through ornTraceRedirect is judged for /dev/null.
    TraceSink() : direct_(isatty(STDERR_FILENO) == 1), discarded_(false)
    {
        std::atexit([] { sink().flush(); });
    }

    static TraceSink& sink()
    {
        static TraceSink instance;
        return instance;
    }

    void write(const char* text, std::size_t length)
    {
        std::lock_guard lock(mutex_);
        if (direct_) {
            writeAll(text, length);
            return;
        }
        if (used_ + length > sizeof(buffer_))
            flushLocked();
        if (length > sizeof(buffer_)) {
            writeAll(text, length);
            return;
        }
        std::memcpy(buffer_ + used_, text, length);
        used_ += length;
    }

    void redirect(int fd)
    {
        std::lock_guard lock(mutex_);
        flushLocked();
        fd_ = fd;
        direct_ = isatty(fd) == 1;
        discarded_.store(fd != STDERR_FILENO && isNullDevice(fd), std::memory_order_relaxed);
    }

    // Lines bound for /dev/null are not even formatted: a large search
    // writes hundreds of thousands of them.
    bool discarded() const { return discarded_.load(std::memory_order_relaxed); }

    void flush()
    {
        std::lock_guard lock(mutex_);
        flushLocked();
    }

private:
    void flushLocked()
    {
        writeAll(buffer_, used_);
        used_ = 0;
    }

    void writeAll(const char* text, std::size_t length)
    {
        while (length > 0) {
            ssize_t written = ::write(fd_, text, length);
            if (written <= 0)
                return; // nowhere to report a failing standard error
            text += written;
            length -= static_cast<std::size_t>(written);
        }
    }

    static bool isNullDevice(int fd)
    {
        struct stat target {};
        struct stat null {};
        return fstat(fd, &target) == 0 && stat("/dev/null", &null) == 0 && S_ISCHR(target.st_mode)
            && target.st_rdev == null.st_rdev;
    }

    std::mutex mutex_;
    int fd_ = STDERR_FILENO;
    bool direct_;
    std::atomic<bool> discarded_;
    std::size_t used_ = 0;
    char buffer_[64 * 1024];
};

} // namespace

void ornTrace(const char* line)
{
    TraceSink& sink = TraceSink::sink();
    if (sink.discarded())
        return;
    sink.write(line, std::strlen(line));
}

void ornTracef(const char* format, ...)
{
    TraceSink& sink = TraceSink::sink();
    if (sink.discarded())
        return;
    char line[512];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    if (length < 0)
        return;
    sink.write(line, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof(line) - 1));
}

void ornTraceFlush()
{
    TraceSink::sink().flush();
}

void ornTraceRedirect(int fd)
{
    TraceSink::sink().redirect(fd);
}
