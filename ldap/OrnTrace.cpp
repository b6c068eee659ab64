#include "OrnTrace.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

class TraceSink {
public:
    TraceSink() : direct_(isatty(STDERR_FILENO) == 1)
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
    }

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

    std::mutex mutex_;
    int fd_ = STDERR_FILENO;
    bool direct_;
    std::size_t used_ = 0;
    char buffer_[64 * 1024];
};

} // namespace

void ornTrace(const char* line)
{
    TraceSink::sink().write(line, std::strlen(line));
}

void ornTracef(const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    if (length < 0)
        return;
    TraceSink::sink().write(line, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof(line) - 1));
}

void ornTraceFlush()
{
    TraceSink::sink().flush();
}

void ornTraceRedirect(int fd)
{
    TraceSink::sink().redirect(fd);
}
