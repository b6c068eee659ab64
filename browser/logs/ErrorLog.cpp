#include "browser/logs/ErrorLog.h"

namespace {

bool writeAll(std::FILE* file, std::string_view text)
{
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

} // namespace

const char* logFileName(LogMode log)
{
    return log == LogMode::General ? kGeneralLogName : kLdifLogName;
}

std::string formatLogRecord(const std::tm& when, std::string_view host, std::string_view message)
{
    char stamp[32];
    std::size_t length = std::strftime(stamp, sizeof stamp, "%m/%d/%y$%H:%M:%S$", &when);
    constexpr std::string_view server = "ServerIp ";
    std::string record;
    record.reserve(length + server.size() + host.size() + 1 + message.size() + 1);
    record.append(stamp, length).append(server).append(host).append(1, ' ').append(message).append(1, '\n');
    return record;
}

bool ErrorLog::openLdifLog()
{
    if (!ldif_)
        ldif_ = std::fopen(kLdifLogName, "a+");
    return ldif_ != nullptr;
}

bool ErrorLog::closeLdifLog()
{
    if (!ldif_)
        return true;
    bool closed = std::fclose(ldif_) == 0;
    ldif_ = nullptr;
    return closed;
}

ErrorLog::Append ErrorLog::append(LogMode mode, std::string_view record)
{
    if (mode == LogMode::General) {
        std::FILE* file = std::fopen(kGeneralLogName, "a");
        if (!file)
            return Append::CannotOpen;
        bool written = writeAll(file, record);
        // A full disk may only show when the buffer is written out at close.
        written = std::fclose(file) == 0 && written;
        return written ? Append::Written : Append::Failed;
    }
    if (!ldif_)
        return Append::NoStream;
    // Flushed per record, so a crash during an import keeps what was logged.
    bool written = writeAll(ldif_, record) && std::fflush(ldif_) == 0;
    return written ? Append::Written : Append::Failed;
}
