// The connection profiles file, OrnIni.ini in the current folder: one line per
// user detail, "name=host;port;base DN;user ID;" and a line feed, no quoting.
// The operations keep the profile table of ViewState in step with the file
// and report every failure in a message box; they remember the folder they
// ran in as ViewState::workingFolder.
//
// Lines are in memory without their line feed. Rewrites go through
// TmpIni.ini renamed over the original, so a failure leaves the file whole.
#pragma once

#include "browser/session/ConnectionSecurity.h"
#include "browser/session/ProfileTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Desktop;
struct ViewState;

inline constexpr const char* kProfileFileName = "OrnIni.ini";
inline constexpr const char* kProfileTemporaryName = "TmpIni.ini";

// The fields of one profile line as typed; the port stays text. The host
// field gets the scheme of a secured connection in front of it.
struct ProfileFields {
    std::string name;
    std::string host;
    std::string port;
    std::string baseDn;
    std::string userId;
    ConnectionSecurity security = ConnectionSecurity::Plain;
};

// Rebuilds the table from the file. False, with the table empty and the
// no-profile flag set, when the file is missing or unreadable ("User profile
// does not exist...") or is refused for a line or line count over the limits.
bool LoadProfiles(Desktop& desktop, ViewState& state);

// Fills the connection's profile name, host and its security, port, base DN
// and user ID from the line at user-detail list position k. On a malformed line shows
// "Configuration File Data is Invalid" and leaves the connection unchanged.
bool ParseProfile(Desktop& desktop, ViewState& state, int position);

// Appends a composed line to the file (created when missing). The table is
// not reloaded; callers run LoadProfiles when they want the new line listed.
bool AppendProfile(Desktop& desktop, ViewState& state, const std::string& line);

// Puts a composed line in place of the line at list position k and rewrites
// the file from the table. On failure file and table stay as they were.
bool ReplaceProfile(Desktop& desktop, ViewState& state, int position, const std::string& line);

// Removes exactly the line at list position k from the file and the table.
bool RemoveProfile(Desktop& desktop, ViewState& state, int position);

// name=host;port;base DN;user ID; without a line feed.
std::string ComposeProfileLine(const ProfileFields& fields);

// The line for a form's fields, or nothing after a box that says why not:
// a required field (all but the user ID) empty, or a separator inside a field.
std::optional<std::string> ComposeCheckedProfileLine(Desktop& desktop, const ProfileFields& fields);

// The distinct profile names in table order. A name is left out when an item
// already listed begins with it, ignoring case (so ab is hidden by abc).
std::vector<std::string> ListProfileNames(const ProfileTable& table);

// The user details (host;port;base DN;user ID) of the lines that begin with
// name and "=", in table order; fills the table's user-detail index map.
std::vector<std::string> ListUserDetails(ProfileTable& table, const std::string& name);

// A file of the program's in the current folder, beside OrnIni.ini; that
// folder becomes the working folder.
std::string FileBesideProfiles(ViewState& state, const char* name);
// The non-blank lines of a text file, without their line feeds; nothing
// when it cannot be read. JoinFileLines makes the text back, each line ended.
std::optional<std::vector<std::string>> ReadFileLines(const std::string& path);
std::string JoinFileLines(const std::vector<std::string>& lines);

// The C atoi rule (leading blanks, sign, digits), saturating instead of
// overflowing.
int32_t AtoiRule(std::string_view text);
