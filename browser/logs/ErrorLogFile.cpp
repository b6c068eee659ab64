#include "browser/logs/ErrorLogFile.h"

#include "browser/ReplaceFile.h"
#include "browser/logs/ErrorLog.h"

#include <fstream>
#include <iterator>

namespace {

// The leading decimal digits of text, as atoi reads a two-digit field.
int leadingNumber(std::string_view text)
{
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::optional<std::string> readLog(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string_view> logLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

RecordShape splitRecord(std::string_view line, LogRow* row)
{
    std::size_t first = line.find('$');
    if (first == std::string_view::npos)
        return RecordShape::NoSeparator;
    std::size_t second = line.find('$', first + 1);
    if (second == std::string_view::npos)
        return RecordShape::OneSeparator;
    if (row) {
        std::string_view information = line.substr(second + 1);
        if (!information.empty() && information.back() == '\n')
            information.remove_suffix(1);
        *row = {std::string(line.substr(0, first)), std::string(line.substr(first + 1, second - first - 1)),
                std::string(information)};
    }
    return RecordShape::Complete;
}

bool recordExpired(std::string_view recordDate, const std::tm& today)
{
    int month = leadingNumber(recordDate);
    std::size_t slash = recordDate.find('/');
    int day = slash == std::string_view::npos ? 0 : leadingNumber(recordDate.substr(slash + 1));
    if (day <= today.tm_mday - 2)
        return true;
    return month < today.tm_mon + 1;
}

bool rewriteLog(const std::string& path, const std::string& text)
{
    return replaceFile(path, kTemporaryLogName, text);
}
