// The profile table: the lines of OrnIni.ini as last loaded, the no-profile
// flag and the user-detail index map. It lives in ViewState for the whole run
// and is rebuilt by every LoadProfiles.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ProfileTable {
    // A file holds at most 1024 lines: a longer file is refused, not cut.
    // Lines of any length are kept whole; service-account DNs are long.
    static constexpr std::size_t kMaxLines = 1024;

    // One entry per non-blank line, in file order, without its line feed.
    std::vector<std::string> lines;
    // Decides whether the Login command opens New Profile (set) or Login.
    // Set when the file cannot be read; cleared when a non-blank line is read.
    bool noProfile = true;
    // Position k of the user-detail list shown last -> index into lines.
    // Valid only while that list is shown.
    std::vector<int> detailIndex;
};
