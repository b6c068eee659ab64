#include "browser/session/Registry.h"

#include "browser/ReplaceFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string userFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.config";
    }
    return base + "/Velmora Inc/Velmora LDAP Browser/2.0";
}

} // namespace

Registry::Registry(std::string folder)
    : folder_(folder.empty() ? userFolder() : std::move(folder))
{
}

int Registry::readEntries() const
{
    std::ifstream in(folder_ + "/entries", std::ios::binary);
    if (!in)
        return kDefaultPageSize;
    char text[257] = {};
    in.read(text, 256);
    // A page of no entries would show nothing and page for ever.
    const int entries = std::atoi(text);
    return entries >= 1 ? entries : kDefaultPageSize;
}

bool Registry::writeEntries(int entries) const
{
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error)
        return false;
    return replaceFile(folder_ + "/entries", folder_ + "/entries.tmp", std::to_string(entries));
}
