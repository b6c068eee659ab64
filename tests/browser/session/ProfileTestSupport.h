// Shared by the profile tests: a fresh current folder per test, the view's
// state, and a fake desktop that also records whether each box was system-modal.
#pragma once

#include "browser/ViewState.h"
#include "tests/browser/BrowserTest.h"
#include "tests/support/TemporaryFolder.h"

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

class ProfileTest : public ::testing::Test {
protected:
    static void writeIni(const std::string& text) { std::ofstream("OrnIni.ini", std::ios::binary) << text; }
    static std::string readIni()
    {
        std::ostringstream text;
        text << std::ifstream("OrnIni.ini", std::ios::binary).rdbuf();
        return text.str();
    }
    std::string folder() const { return folder_.path().string(); }

private:
    CurrentTemporaryFolder folder_ { "orn-profiles" };

protected:
    ModalDesktop desktop;
    ViewState state;
};
