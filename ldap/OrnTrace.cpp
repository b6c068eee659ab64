#include "ldap/OrnTrace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace {

enum State : int { Unread, Off, On };

// Read by every trace call before anything else, so that tracing off costs
// one load and one branch; the sink behind it has its own lock.
std::atomic<int> state { Unread };

class TraceSink {
public:
    // Never destroyed: the exit flush and threads still tracing at exit must
    // find it whole. Not on the heap either, where tests count what a call
    // leaves behind.
    static TraceSink& sink()
    {
        alignas(TraceSink) static unsigned char storage[sizeof(TraceSink)];
        static TraceSink& instance = *new (storage) TraceSink;
        return instance;
    }

    void write(const char* text, std::size_t length)
    {
        std::lock_guard lock(mutex_);
        if (fd_ < 0)
            return; // turned off since the caller looked
        if (used_ + length > sizeof(buffer_))
            flushLocked();
        if (length > sizeof(buffer_)) {
            writeAll(text, length);
            return;
        }
        std::memcpy(buffer_ + used_, text, length);
        used_ += length;
    }

    int redirect(int fd)
    {
        std::lock_guard lock(mutex_);
        flushLocked();
        int previous = fd_;
        // Standard error may be swapped under us (tests capture it), so only
        // another descriptor is judged for /dev/null.
        use(fd >= 0 && (fd == STDERR_FILENO || !isNullDevice(fd)) ? fd : -1);
        return previous;
    }

    void flush()
    {
        std::lock_guard lock(mutex_);
        flushLocked();
    }

private:
    TraceSink()
    {
        int fd = -1;
        const char* name = std::getenv("VELMORA_TRACE");
        if (name && std::strcmp(name, "-") == 0) {
            fd = STDERR_FILENO;
        } else if (name && *name) {
            // Appended to, so that several processes can share one file; it
            // holds directory data, so it is the user's alone.
            fd = ::open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
            if (fd < 0) {
                std::string report = std::string("VELMORA_TRACE: cannot open ") + name + ": " + std::strerror(errno)
                    + "; tracing is off\n";
                writeAll(STDERR_FILENO, report.data(), report.size());
            }
        }
        use(fd);
        std::atexit([] { sink().flush(); });
    }

    void use(int fd)
    {
        fd_ = fd;
        if (fd >= 0 && !terminateHooked_) {
            terminateHooked_ = true;
            previousTerminate_ = std::set_terminate(flushAndTerminate);
        }
        state.store(fd >= 0 ? On : Off, std::memory_order_relaxed);
    }

    // An uncaught exception would take the buffered lines with it, and they
    // are the ones that tell what led there.
    [[noreturn]] static void flushAndTerminate()
    {
        TraceSink& self = sink();
        // Whoever holds the lock now may never let it go.
        if (self.mutex_.try_lock()) {
            self.flushLocked();
            self.mutex_.unlock();
        }
        if (self.previousTerminate_)
            self.previousTerminate_();
        std::abort();
    }

    void flushLocked()
    {
        writeAll(fd_, buffer_, used_);
        used_ = 0;
    }

    void writeAll(const char* text, std::size_t length) { writeAll(fd_, text, length); }

    static void writeAll(int fd, const char* text, std::size_t length)
    {
        while (fd >= 0 && length > 0) {
            ssize_t written = ::write(fd, text, length);
            if (written <= 0)
                return; // nowhere to report a failing trace file
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
    int fd_ = -1;
    bool terminateHooked_ = false;
    std::terminate_handler previousTerminate_ = nullptr;
    std::size_t used_ = 0;
    char buffer_[64 * 1024];
};

// The sink when tracing is on; the first call of all reads VELMORA_TRACE.
TraceSink* active()
{
    if (state.load(std::memory_order_relaxed) == Off)
        return nullptr;
    TraceSink& sink = TraceSink::sink();
    return state.load(std::memory_order_relaxed) == On ? &sink : nullptr;
}

} // namespace

void ornTrace(const char* line)
{
    if (TraceSink* sink = active())
        sink->write(line, std::strlen(line));
}

void ornTracef(const char* format, ...)
{
    TraceSink* sink = active();
    if (!sink)
        return;
    char line[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof(line)) {
        sink->write(line, static_cast<std::size_t>(length));
    } else if (length > 0) {
        // A cut line would lose its newline and run into the next one.
        std::vector<char> whole(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(whole.data(), whole.size(), format, again);
        sink->write(whole.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
}

void ornTraceFlush()
{
    if (TraceSink* sink = active())
        sink->flush();
}

int ornTraceRedirect(int fd)
{
    return TraceSink::sink().redirect(fd);
}
