// The two error logs and their record format. The general log is opened,
// appended to and closed for every record; the LDIF log is one stream that
// the LDIF import opens at its start and closes at its end. Both are named
// relative to the current directory. Only the user-interface thread writes.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

// Which log: also the mode argument of ReportError.
enum class LogMode { Ldif = 1, General = 2 };

inline constexpr const char* kGeneralLogName = "Generror.err";
inline constexpr const char* kLdifLogName = "Ldiferror.err";
// Every rewrite of a log goes through this file, renamed over the log.
inline constexpr const char* kTemporaryLogName = "tmpErr.err";

const char* logFileName(LogMode log);

// One record: MM/DD/YY$HH:MM:SS$ServerIp <host> <message>, then a line feed.
// The host is empty while not connected; the message may hold "$" itself,
// which is why readers split at the first two only.
std::string formatLogRecord(const std::tm& when, std::string_view host, std::string_view message);

// Owns the LDIF log stream while an import holds it open; the general log
// needs no state. Not copyable: the stream has one owner.
class ErrorLog {
public:
    enum class Append { Written, CannotOpen, NoStream, Failed };

    ErrorLog() = default;
    ~ErrorLog() { closeLdifLog(); }
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    // Opens "Ldiferror.err" for append and read; true when it is open.
    bool openLdifLog();
    // False when buffered records could not be written out.
    bool closeLdifLog();
    bool ldifLogOpen() const { return ldif_ != nullptr; }

    // A General record is written to "Generror.err", opened for this record
    // alone. An Ldif record goes to the open stream and is refused (NoStream)
    // when no import holds one. Written only when the whole record reached
    // the file.
    Append append(LogMode mode, std::string_view record);

private:
    std::FILE* ldif_ = nullptr;
};
