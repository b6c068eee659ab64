// The application's one registry value, "entries" (the tree's page size),
// kept as decimal text in a small file under the user's configuration
// folder: $XDG_CONFIG_HOME (default ~/.config), then
// "Velmora Inc/Velmora LDAP Browser/2.0/entries".
#pragma once

#include <string>

class Registry {
public:
    static constexpr int kDefaultPageSize = 100;

    // folder: where the value lives; empty means the user's configuration folder.
    explicit Registry(std::string folder = {});

    // The stored page size by the atoi rule, or 100 when there is none or it is below 1.
    int readEntries() const;
    // False when the folder or the value cannot be written.
    bool writeEntries(int entries) const;

    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
};
