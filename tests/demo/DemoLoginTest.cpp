// The profile "Demo" that scripts/run writes, used as a user would on the
// demo directory: every user detail must log in as the manual says.
#include "browser/BrowserSession.h"
#include "browser/session/LoginCommand.h"
#include "browser/session/LoginDialog.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/FixedClock.h"
#include "tests/support/SlapdServer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

class DemoProfile : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::dataDirectory() + "/demo-directory.ldif";
        server_ = std::make_unique<SlapdServer>(options);
    }
    static void TearDownTestSuite() { server_.reset(); }

    DemoProfile()
    {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    ~DemoProfile() override
    {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }

    static int writeDemoProfile()
    {
        fs::path script = fs::path(SlapdServer::dataDirectory()).parent_path() / "scripts" / "demo-server";
        std::string command = "'" + script.string() + "' profile OrnIni.ini " + std::to_string(server_->port());
        return std::system(command.c_str());
    }

    static inline std::unique_ptr<SlapdServer> server_;
    fs::path previous_ = fs::current_path();
    fs::path folder_ = fs::temp_directory_path() / ("orn-demo-" + std::to_string(::getpid()));
};

struct Account {
    int detail;
    const char* password;
    const char* userType;
    const char* bindDn;
};

TEST_F(DemoProfile, EveryUserDetailLogsInAndShowsTheTopOfTheDirectory)
{
    ASSERT_EQ(writeDemoProfile(), 0);
    // The administrator is the server's root DN and has no uid entry, so the
    // first bind is the one that stays; a person is looked up and bound again.
    const Account accounts[] = {
        {0, "secret", "Valid User", ""},
        {1, "aarcher-pw", "Valid User", "uid=aarcher,ou=Engineering,ou=People,dc=example,dc=com"},
        {2, "", "Anonymous User", ""},
    };
    for (const Account& account : accounts) {
        SCOPED_TRACE(account.detail);
        FakeDesktop desktop;
        BrowserSession session {desktop, std::make_unique<FixedClock>(2026, 12, 5, 16, 1, 2), Registry {"/nonexistent"}};
        const ViewState& state = session.state();
        desktop.onDialog(LoginDialog::kResource, [&](DialogModel& model) {
            auto& dialog = dynamic_cast<LoginDialog&>(model);
            ASSERT_EQ(dialog.profileNames().items, std::vector<std::string>({"Demo"}));
            dialog.chooseProfileName(0);
            dialog.chooseUserDetail(account.detail);
            dialog.setPassword(account.password);
            dialog.connect();
        });
        LoginCommand(session.context());

        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
        EXPECT_EQ(state.connection.userType, account.userType);
        EXPECT_EQ(state.connection.bindDn, account.bindDn);
        ASSERT_FALSE(state.tree.empty());
        EXPECT_EQ(state.tree.root()->label, "dc=example,dc=com");
        std::set<std::string> top;
        for (const auto& child : state.tree.root()->children)
            top.insert(child->label);
        EXPECT_EQ(top, std::set<std::string>({"ou=Groups", "ou=People", "ou=Projects"}));
    }
}

} // namespace
