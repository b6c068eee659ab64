// Logout after a login to slapd: each answer to "Login to different LDAP
// Server?" and to the exit question, and the logout after a lost connection.
#include "browser/session/Logout.h"
#include "browser/CommandReports.h"
#include "browser/session/LoginCommand.h"
#include "browser/session/LoginDialog.h"
#include "browser/session/NewProfileDialog.h"
#include "ldap/OrnCodes.h"
#include "tests/browser/session/LoginFixture.h"

#include <vector>

namespace {

using Box = FakeDesktop::Box;
using Strings = std::vector<std::string>;

const Box kLogoutQuestion {"Login to different LDAP Server?", "Logout", MessageIcon::Question,
                           MessageButtons::YesNoCancel};
const Box kExitQuestion {"Do you want to exit Velmora LDAP Browser ?", "Exit ", MessageIcon::None,
                         MessageButtons::YesNo};

} // namespace

class LogoutTest : public LoginSuite<false> {
protected:
    // Logged in as alice, with the desktop's records cleared.
    void logIn(const std::string& ini)
    {
        write("OrnIni.ini", ini);
        desktop.onDialog(LoginDialog::kResource, connectWith(0, 0, "alice-pw"));
        LoginCommand(context);
        ASSERT_EQ(state.connection.userType, "Valid User");
        ASSERT_FALSE(state.flags.viewNotConnected);
        desktop.boxes.clear();
        desktop.titles.clear();
    }
    void logIn() { logIn(profile("main", kAliceDn)); }

    void expectLoggedOut()
    {
        EXPECT_EQ(desktop.lastTitle(), kNotConnectedTitle);
        EXPECT_TRUE(state.flags.viewNotConnected && state.flags.treeTeardown);
        EXPECT_FALSE(state.flags.loggedIn || state.flags.connectionLost);
        EXPECT_EQ(state.connection.host, "");
        EXPECT_EQ(state.connection.port, 0);
        EXPECT_EQ(state.connection.password, "");
        EXPECT_EQ(state.connection.bindDn, "");
        EXPECT_EQ(searchBase(), ORN_NOT_INITIALISED);
    }
};

TEST_F(LogoutTest, CancelKeepsTheSessionButReleasesTheHeldResults)
{
    logIn();
    // The tree load holds the base DN's children.
    ASSERT_NE(state.generalResult.get(), nullptr);
    desktop.answer(MessageAnswer::Cancel);
    EXPECT_EQ(Logout(context), LogoutResult::Cancelled);

    EXPECT_EQ(desktop.boxes, std::vector<Box>({kLogoutQuestion}));
    EXPECT_EQ(state.rootDseResult.get(), nullptr);
    EXPECT_EQ(state.generalResult.get(), nullptr);
    EXPECT_TRUE(desktop.titles.empty());
    EXPECT_FALSE(state.flags.viewNotConnected);
    EXPECT_EQ(searchBase(), 0);
}

TEST_F(LogoutTest, YesOpensTheLoginDialogOnADroppedConnection)
{
    logIn();
    desktop.answer(MessageAnswer::Yes);
    desktop.onDialog(LoginDialog::kResource, [this](DialogModel&) {
        EXPECT_EQ(desktop.lastTitle(), kNotConnectedTitle);
        EXPECT_EQ(state.connection.host, "");
        EXPECT_FALSE(state.flags.loggedIn);
        EXPECT_TRUE(state.flags.treeTeardown);
        EXPECT_EQ(searchBase(), ORN_NOT_INITIALISED);
    });
    EXPECT_EQ(Logout(context), LogoutResult::LoggedOut);
    EXPECT_EQ(desktop.boxes, std::vector<Box>({kLogoutQuestion}));
    expectLoggedOut();

    // Logging in from there is a login like any other.
    state.flags.viewNotConnected = false;
    desktop.answer(MessageAnswer::Yes);
    desktop.onDialog(LoginDialog::kResource, connectWith(0, 0, "alice-pw"));
    EXPECT_EQ(Logout(context), LogoutResult::LoggedOut);
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Valid User"));
    EXPECT_FALSE(state.flags.viewNotConnected || state.flags.treeTeardown);
    EXPECT_EQ(searchBase(), 0);
}

TEST_F(LogoutTest, YesWithoutProfilesOpensNewProfile)
{
    logIn();
    std::filesystem::remove("OrnIni.ini");
    desktop.answer(MessageAnswer::Yes);
    desktop.onDialog(NewProfileDialog::kResource, [](DialogModel&) {});
    EXPECT_EQ(Logout(context), LogoutResult::LoggedOut);
    EXPECT_EQ(desktop.dialogsRun.back(), NewProfileDialog::kResource);
    EXPECT_EQ(desktop.boxes.at(1).text, "User profile does not exist.Please create a profile");
    expectLoggedOut();
}

TEST_F(LogoutTest, NoAsksWhetherToExit)
{
    logIn();
    desktop.answer(MessageAnswer::No);
    desktop.answer(MessageAnswer::Yes);
    EXPECT_EQ(Logout(context), LogoutResult::ExitProgram);
    EXPECT_EQ(desktop.boxes, std::vector<Box>({kLogoutQuestion, kExitQuestion}));
    EXPECT_EQ(desktop.titles, Strings({kNotConnectedTitle}));
    EXPECT_EQ(searchBase(), ORN_NOT_INITIALISED);

    // Staying on logs out and leaves the program not connected.
    logIn();
    desktop.answer(MessageAnswer::No);
    desktop.answer(MessageAnswer::No);
    EXPECT_EQ(Logout(context), LogoutResult::LoggedOut);
    EXPECT_EQ(desktop.boxes, std::vector<Box>({kLogoutQuestion, kExitQuestion}));
    EXPECT_TRUE(desktop.dialogsRun.size() == 2);
    expectLoggedOut();
}

TEST_F(LogoutTest, LostConnectionLogsOutWithoutAsking)
{
    SlapdOptions options;
    options.ldifFile = SlapdServer::testDirectoryLdif();
    SlapdServer own(options);
    logIn("main=127.0.0.1;" + std::to_string(own.port()) + ";dc=example,dc=com;" + kAliceDn + ";\n");

    own.kill();
    int32_t lost = searchBase();
    ASSERT_LT(lost, 0);
    ReportConnectionLost(context, kConnectionTimedOut);
    EXPECT_EQ(Logout(context), LogoutResult::LoggedOut);

    EXPECT_EQ(desktop.boxes, std::vector<Box>({{kConnectionTimedOut, "Error", MessageIcon::Error, MessageButtons::Ok}}));
    EXPECT_EQ(desktop.titles, Strings({kNotConnectedTitle}));
    EXPECT_NE(read("Generror.err").find("ServerIp 127.0.0.1 Connection to the Server 127.0.0.1 lost\n"),
              std::string::npos);
    EXPECT_EQ(state.rootDseResult.get(), nullptr);
    expectLoggedOut();
}
