#include "browser/session/Registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::string freshFolder()
{
    auto folder = std::filesystem::temp_directory_path() / ("orn-registry-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    return (folder / "Velmora Inc" / "Velmora LDAP Browser" / "2.0").string();
}

} // namespace

TEST(Registry, EntriesRoundTripAndDefault)
{
    Registry registry(freshFolder());
    EXPECT_EQ(registry.readEntries(), 100); // nothing stored yet
    ASSERT_TRUE(registry.writeEntries(250));
    EXPECT_EQ(registry.readEntries(), 250);

    std::ofstream(registry.folder() + "/entries") << "42 entries";
    EXPECT_EQ(registry.readEntries(), 42); // the atoi rule
    std::ofstream(registry.folder() + "/entries") << "many";
    EXPECT_EQ(registry.readEntries(), 0);
    std::filesystem::remove_all(std::filesystem::path(registry.folder()).parent_path().parent_path());
}

TEST(Registry, UnwritableFolderIsReported)
{
    Registry registry("/proc/orn-registry-cannot-exist");
    EXPECT_FALSE(registry.writeEntries(5));
}
