// Logout after a login to slapd: each answer to "Login to different LDAP
// Server?" and to the exit question, and the logout after a lost connection.
#include "browser/session/Logout.h"
#include "browser/CommandReports.h"
#include "browser/session/NewProfileDialog.h"
#include "tests/browser/session/LoginFixture.h"

namespace {

const Box kLogoutQuestion { "Login to different LDAP Server?", "Logout", MessageIcon::Question,
    MessageButtons::YesNoCancel };
const Box kExitQuestion { "Do you want to exit Velmora LDAP Browser ?", "Exit ", MessageIcon::None,
    MessageButtons::YesNo };

} // namespace

class LogoutTest : public LoginSuite {
protected:
    // Logged in as alice, with the desktop's records cleared.
    void logIn()
    {
        write("OrnIni.ini", profile("main", kAliceDn));
        logInWith(connectWith(0, 0, "alice-pw"));
        ASSERT_EQ(state.connection.userType, "Valid User");
        ASSERT_FALSE(state.flags.viewNotConnected);
        desktop.boxes.clear();
        desktop.titles.clear();
    }
    void expectLoggedOut()
    {
        BrowserTest::expectLoggedOut();
        EXPECT_TRUE(state.flags.treeTeardown);
    }
};

TEST_F(LogoutTest, CancelKeepsTheSessionButReleasesTheHeldResults)
{
    logIn();
    // The tree load holds the base DN's children.
    ASSERT_NE(state.generalResult.get(), nullptr);
    desktop.answer(MessageAnswer::Cancel);
    EXPECT_EQ(Logout(context), LogoutResult::Cancelled);

    EXPECT_EQ(desktop.boxes, Boxes({ kLogoutQuestion }));
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
    onDialog<LoginDialog>(desktop, [this](LoginDialog&) {
        EXPECT_EQ(desktop.lastTitle(), kNotConnectedTitle);
        EXPECT_EQ(state.connection.host, "");
        EXPECT_FALSE(state.flags.loggedIn);
        EXPECT_TRUE(state.flags.treeTeardown);
        EXPECT_EQ(searchBase(), ORN_NOT_INITIALISED);
    });
    EXPECT_EQ(Logout(context), LogoutResult::LoggedOut);
    EXPECT_EQ(desktop.boxes, Boxes({ kLogoutQuestion }));
    expectLoggedOut();

    // Logging in from there is a login like any other.
    state.flags.viewNotConnected = false;
    desktop.answer(MessageAnswer::Yes);
    onDialog<LoginDialog>(desktop, connectWith(0, 0, "alice-pw"));
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
    desktop.onDialog(NewProfileDialog::kResource, [](DialogModel&) { });
    EXPECT_EQ(Logout(context), LogoutResult::LoggedOut);
    EXPECT_EQ(desktop.dialogsRun.back(), NewProfileDialog::kResource);
    EXPECT_EQ(desktop.boxes.at(1).text, "User profile does not exist.Please create a profile");
    expectLoggedOut();
}

// Exiting or staying on both log out; staying leaves the program not connected.
TEST_F(LogoutTest, NoAsksWhetherToExit)
{
    for (auto [exit, result] : { std::pair { MessageAnswer::Yes, LogoutResult::ExitProgram },
             { MessageAnswer::No, LogoutResult::LoggedOut } }) {
        SCOPED_TRACE(exit == MessageAnswer::Yes ? "exit" : "stay");
        logIn();
        desktop.answer(MessageAnswer::No);
        desktop.answer(exit);
        EXPECT_EQ(Logout(context), result);
        EXPECT_EQ(desktop.boxes, Boxes({ kLogoutQuestion, kExitQuestion }));
        EXPECT_EQ(desktop.titles, Strings({ kNotConnectedTitle }));
        EXPECT_EQ(searchBase(), ORN_NOT_INITIALISED);
    }
    EXPECT_EQ(desktop.dialogsRun.size(), 2u); // the logins' only
    expectLoggedOut();
}

TEST_F(LogoutTest, LostConnectionLogsOutWithoutAsking)
{
    logIn();
    server().kill();
    const int32_t code = searchBase();
    ASSERT_LT(code, 0);
    ReportConnectionLost(context, kConnectionTimedOut, code);
    EXPECT_EQ(Logout(context), LogoutResult::LoggedOut);

    EXPECT_EQ(desktop.boxes, Boxes({ errorBox(kConnectionTimedOut) }));
    EXPECT_EQ(desktop.titles, Strings({ kNotConnectedTitle }));
    EXPECT_NE(read("Generror.err").find(kLostLine), std::string::npos);
    EXPECT_EQ(state.rootDseResult.get(), nullptr);
    expectLoggedOut();
}
