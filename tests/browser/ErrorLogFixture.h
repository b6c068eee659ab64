// A fresh, empty current folder for each log test (the logs are named
// relative to it) and the context the reporting code works with.
#pragma once

#include "AppContext.h"
#include "FakeDesktop.h"
#include "FixedClock.h"
#include "OrnInterface.h"
#include "Registry.h"
#include "ViewState.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class LogFolderTest : public ::testing::Test {
protected:
    LogFolderTest()
    {
        static int serial = 0;
        folder_ = std::filesystem::temp_directory_path()
            / ("orn-logs-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
    }
    ~LogFolderTest() override
    {
        state.errorLog.closeLdifLog();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    static void write(const std::string& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }
    static std::string read(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        return in ? std::string{std::istreambuf_iterator<char>(in), {}} : "<missing>";
    }
    const std::filesystem::path& folder() const { return folder_; }

    FakeDesktop desktop;
    FixedClock clock{2026, 12, 5, 16, 1, 2};
    Registry registry{"/nonexistent"};
    ViewState state;
    OrnLdapService service;
    AppContext context{desktop, clock, registry, state, service};

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    std::filesystem::path folder_;
};
