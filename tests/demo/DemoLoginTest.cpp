// The profile "Demo" that scripts/run writes, used as a user would on the
// demo directory: every user detail must log in as the manual says.
#include "browser/session/LoginCommand.h"
#include "browser/session/LoginDialog.h"
#include "tests/support/CoreSession.h"

#include <cstdlib>
#include <set>

namespace {

struct Account {
    int detail;
    const char* password;
    const char* userType;
    const char* bindDn;
};

class DemoProfile : public CoreSessionTest, public ::testing::WithParamInterface<Account> {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::dataDirectory() + "/demo-directory.ldif";
        startServer(options);
    }
    static int writeDemoProfile()
    {
        std::filesystem::path script
            = std::filesystem::path(SlapdServer::dataDirectory()).parent_path() / "scripts" / "demo-server";
        std::string command = "'" + script.string() + "' profile OrnIni.ini " + std::to_string(server().port());
        return std::system(command.c_str());
    }
};

void PrintTo(const Account& account, std::ostream* out) { *out << "user detail " << account.detail; }

TEST_P(DemoProfile, UserDetailLogsInAndShowsTheTopOfTheDirectory)
{
    ASSERT_EQ(writeDemoProfile(), 0);
    const Account& account = GetParam();
    desktop.onDialog(LoginDialog::kResource, [&](DialogModel& model) {
        auto& dialog = dynamic_cast<LoginDialog&>(model);
        ASSERT_EQ(dialog.profileNames().items, std::vector<std::string>({ "Demo" }));
        dialog.chooseProfileName(0);
        dialog.chooseUserDetail(account.detail);
        dialog.setPassword(account.password);
        dialog.connect();
    });
    LoginCommand(context);

    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_EQ(state.connection.userType, account.userType);
    EXPECT_EQ(state.connection.bindDn, account.bindDn);
    ASSERT_FALSE(state.tree.empty());
    EXPECT_EQ(state.tree.root()->label, "dc=example,dc=com");
    std::set<std::string> top;
    for (const auto& child : state.tree.root()->children)
        top.insert(child->label);
    EXPECT_EQ(top, std::set<std::string>({ "ou=Groups", "ou=People", "ou=Projects" }));
}

// The administrator is the server's root DN and has no uid entry, so the
// first bind is the one that stays; a person is looked up and bound again.
INSTANTIATE_TEST_SUITE_P(Demo, DemoProfile,
    ::testing::Values(Account { 0, "secret", "Valid User", "" },
        Account { 1, "aarcher-pw", "Valid User", "uid=aarcher,ou=Engineering,ou=People,dc=example,dc=com" },
        Account { 2, "", "Anonymous User", "" }));

} // namespace
