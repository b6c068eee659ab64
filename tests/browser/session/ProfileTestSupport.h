// Shared by the profile tests: a fresh current folder per test, and a fake
// desktop that also records whether each box was system-modal.
#pragma once

#include "tests/support/FakeDesktop.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class ModalDesktop : public FakeDesktop {
public:
    MessageAnswer messageBox(const MessageBoxRequest& box) override
    {
        systemModal.push_back(box.systemModal);
        return FakeDesktop::messageBox(box);
    }
    std::vector<bool> systemModal;
};

class InFreshFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '_');
        folder_ = std::filesystem::temp_directory_path() / ("orn-profiles-" + std::to_string(::getpid()) + "-" + test);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    static void writeIni(const std::string& text) { std::ofstream("OrnIni.ini", std::ios::binary) << text; }
    static std::string readIni()
    {
        std::ostringstream text;
        text << std::ifstream("OrnIni.ini", std::ios::binary).rdbuf();
        return text.str();
    }
    std::string folder() const { return folder_.string(); }

private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};
