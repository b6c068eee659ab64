// Reading and rewriting a log: its lines, a record's three fields, the
// expiry rule of the viewer. A rewrite goes through "tmpErr.err", renamed
// over the log, so a crash or a full disk never leaves it half written.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct LogRow {
    std::string date;
    std::string time;
    std::string information;
    bool operator==(const LogRow&) const = default;
};

// The whole log, or nothing when it cannot be opened.
std::optional<std::string> readLog(const std::string& path);

// The lines of a log, each with its line feed when it has one. Lines of any
// length stay whole.
std::vector<std::string_view> logLines(std::string_view text);

enum class RecordShape { NoSeparator, OneSeparator, Complete };

// Splits at the first two "$"; the information loses its line feed. row is
// filled only for a complete record.
RecordShape splitRecord(std::string_view line, LogRow* row = nullptr);

// The viewer's rule on MM/DD/YY dates: a record has expired when its day is
// at least two before today's, or else when its month number is lower. The
// year is not compared, so records of an earlier year may stay. Missing
// fields count as 0.
bool recordExpired(std::string_view recordDate, const std::tm& today);

// Replaces the log with text through the temporary file; false, with the
// log untouched, when that fails.
bool rewriteLog(const std::string& path, const std::string& text);
