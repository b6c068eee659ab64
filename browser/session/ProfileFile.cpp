#include "browser/session/ProfileFile.h"

#include "browser/Desktop.h"
#include "browser/ReplaceFile.h"
#include "browser/ViewState.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <limits>

namespace {

constexpr const char* kInvalidData = "Configuration File Data is Invalid";
constexpr const char* kFileNotFound = "Configuration file not found";

void systemModalBox(Desktop& desktop, std::string text, MessageIcon icon)
{
    desktop.messageBox({std::move(text), kAppTitle, icon, MessageButtons::Ok, true});
}

// The whole file, or nothing when it cannot be opened or read (a directory
// opens but does not read).
std::optional<std::string> readWhole(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            text.append(chunk, static_cast<std::size_t>(n));
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    return text;
}

// The non-blank lines without line feeds; a carriage return before a line
// feed goes too, as text-mode reading would drop it.
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The table index behind a list position, or -1.
int lineAt(const ProfileTable& table, int position)
{
    if (position < 0 || position >= static_cast<int>(table.detailIndex.size()))
        return -1;
    int index = table.detailIndex[static_cast<std::size_t>(position)];
    return index >= 0 && index < static_cast<int>(table.lines.size()) ? index : -1;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

// The current folder becomes the working folder: the logs are viewed there too.
std::string FileBesideProfiles(ViewState& state, const char* name)
{
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    state.workingFolder = error ? std::string(".") : folder;
    return state.workingFolder + "/" + name;
}

std::optional<std::vector<std::string>> ReadFileLines(const std::string& path)
{
    std::optional<std::string> text = readWhole(path);
    if (!text)
        return std::nullopt;
    return splitLines(*text);
}

std::string JoinFileLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

bool LoadProfiles(Desktop& desktop, ViewState& state)
{
    ProfileTable& table = state.profiles;
    table.lines.clear();
    table.detailIndex.clear();
    std::optional<std::string> text = readWhole(FileBesideProfiles(state, kProfileFileName));
    if (!text) {
        table.noProfile = true;
        systemModalBox(desktop, "User profile does not exist.Please create a profile", MessageIcon::Information);
        return false;
    }
    std::vector<std::string> lines = splitLines(*text);
    if (lines.size() > ProfileTable::kMaxLines) {
        table.noProfile = true;
        systemModalBox(desktop,
                       "The configuration file has more than " + std::to_string(ProfileTable::kMaxLines)
                           + " lines. No profile has been loaded.",
                       MessageIcon::Error);
        return false;
    }
    table.lines = std::move(lines);
    // A file of blank lines leaves the flag as it was.
    if (!table.lines.empty())
        table.noProfile = false;
    return true;
}

bool ParseProfile(Desktop& desktop, ViewState& state, int position)
{
    int index = lineAt(state.profiles, position);
    if (index < 0)
        return false;
    const std::string& line = state.profiles.lines[static_cast<std::size_t>(index)];
    std::size_t equals = line.find('=');
    std::size_t hostEnd = equals == std::string::npos ? equals : line.find(';', equals + 1);
    std::size_t portEnd = hostEnd == std::string::npos ? hostEnd : line.find(';', hostEnd + 1);
    std::size_t baseEnd = portEnd == std::string::npos ? portEnd : line.find(';', portEnd + 1);
    if (baseEnd == std::string::npos) {
        systemModalBox(desktop, kInvalidData, MessageIcon::Error);
        return false;
    }
    ConnectionSettings& connection = state.connection;
    connection.profileName = line.substr(0, equals);
    connection.security
        = SplitProfileHost(std::string_view(line).substr(equals + 1, hostEnd - equals - 1), &connection.host);
    connection.port = AtoiRule(std::string_view(line).substr(hostEnd + 1, portEnd - hostEnd - 1));
    connection.baseDn = line.substr(portEnd + 1, baseEnd - portEnd - 1);
    // The line feed is already gone, so a last line without one keeps its user ID whole.
    std::string userId = line.substr(baseEnd + 1);
    if (!userId.empty() && userId.back() == ';')
        userId.pop_back();
    connection.userId = std::move(userId);
    return true;
}

bool AppendProfile(Desktop& desktop, ViewState& state, const std::string& line)
{
    std::string path = FileBesideProfiles(state, kProfileFileName);
    std::optional<std::string> existing = readWhole(path);
    if (existing && splitLines(*existing).size() >= ProfileTable::kMaxLines) {
        systemModalBox(desktop,
                       "The configuration file already holds " + std::to_string(ProfileTable::kMaxLines)
                           + " lines. Please remove a profile before adding another.",
                       MessageIcon::Error);
        return false;
    }
    // A last line without its line feed must not run into the new one.
    std::string text = existing && !existing->empty() && existing->back() != '\n' ? "\n" : "";
    text += line + '\n';
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < text.size();) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        written = n > 0 || (n < 0 && errno == EINTR);
        if (n > 0)
            done += static_cast<std::size_t>(n);
    }
    if (fd >= 0)
        written = ::close(fd) == 0 && written;
    if (!written)
        systemModalBox(desktop, kFileNotFound, MessageIcon::Error);
    return written;
}

bool ReplaceProfile(Desktop& desktop, ViewState& state, int position, const std::string& line)
{
    int index = lineAt(state.profiles, position);
    if (index < 0)
        return false;
    std::vector<std::string> lines = state.profiles.lines;
    lines[static_cast<std::size_t>(index)] = line;
    if (!replaceFile(FileBesideProfiles(state, kProfileFileName), FileBesideProfiles(state, kProfileTemporaryName),
                     JoinFileLines(lines))) {
        systemModalBox(desktop, kFileNotFound, MessageIcon::Error);
        return false;
    }
    state.profiles.lines = std::move(lines);
    return true;
}

bool RemoveProfile(Desktop& desktop, ViewState& state, int position)
{
    int index = lineAt(state.profiles, position);
    if (index < 0)
        return false;
    std::vector<std::string> lines = state.profiles.lines;
    lines.erase(lines.begin() + index);
    if (!replaceFile(FileBesideProfiles(state, kProfileFileName), FileBesideProfiles(state, kProfileTemporaryName),
                     JoinFileLines(lines))) {
        systemModalBox(desktop, "The configuration file could not be modified", MessageIcon::Error);
        return false;
    }
    state.profiles.lines = std::move(lines);
    // The positions shown no longer match the table.
    state.profiles.detailIndex.clear();
    systemModalBox(desktop, "Your profile has been removed successfully from the configuration file",
                   MessageIcon::Warning);
    return true;
}

std::string ComposeProfileLine(const ProfileFields& fields)
{
    return fields.name + '=' + ProfileHost(fields.security, fields.host) + ';' + fields.port + ';' + fields.baseDn + ';' + fields.userId + ';';
}

std::optional<std::string> ComposeCheckedProfileLine(Desktop& desktop, const ProfileFields& fields)
{
    if (fields.name.empty() || fields.host.empty() || fields.port.empty() || fields.baseDn.empty()) {
        desktop.inform("One or more fields are empty .Please fill in all the fields.");
        return std::nullopt;
    }
    // The format has no escapes: these would split the line differently on reading.
    auto breaksLine = [](const std::string& field) { return field.find_first_of(";\r\n") != std::string::npos; };
    if (fields.name.find('=') != std::string::npos || breaksLine(fields.name) || breaksLine(fields.host)
        || breaksLine(fields.port) || breaksLine(fields.baseDn) || breaksLine(fields.userId)) {
        desktop.error("A profile name cannot contain \"=\", and no field can contain \";\" or a line break.");
        return std::nullopt;
    }
    return ComposeProfileLine(fields);
}

std::vector<std::string> ListProfileNames(const ProfileTable& table)
{
    std::vector<std::string> names;
    for (const std::string& line : table.lines) {
        std::string name = line.substr(0, line.find('='));
        bool shadowed = std::any_of(names.begin(), names.end(),
                                    [&](const std::string& item) { return startsWithIgnoringCase(item, name); });
        if (!shadowed)
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> ListUserDetails(ProfileTable& table, const std::string& name)
{
    std::vector<std::string> details;
    table.detailIndex.clear();
    const std::string key = name + '=';
    for (std::size_t i = 0; i < table.lines.size(); ++i) {
        const std::string& line = table.lines[i];
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string detail = line.substr(key.size());
        if (!detail.empty() && detail.back() == ';')
            detail.pop_back();
        details.push_back(std::move(detail));
        table.detailIndex.push_back(static_cast<int>(i));
    }
    return details;
}

int32_t AtoiRule(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    int64_t value = 0;
    constexpr int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    value = negative ? -value : std::min(value, limit - 1);
    return static_cast<int32_t>(value);
}
