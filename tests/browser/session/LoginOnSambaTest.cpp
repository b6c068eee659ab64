// Login against a Samba AD domain controller with the simple-bind names
// Active Directory takes: a full DN, a user principal name and a down-level
// logon name. The last two are no DNs and no uid a search could find: they
// are bound as typed.
#include "browser/session/LoginDialog.h"
#include "tests/browser/BrowserTest.h"
#include "tests/support/SambaAdServer.h"

namespace {

class LoginOnSamba : public CoreFolderTest {
protected:
    static void SetUpTestSuite() { samba_.start({}); }
    static void TearDownTestSuite() { samba_.stop(); }
    void SetUp() override
    {
        ORN_REQUIRE_SERVER(samba_);
    }
    void TearDown() override { service.DestroyAll(); }

    static inline SuiteServer<SambaAdServer, SambaAdOptions> samba_;
};

TEST_F(LoginOnSamba, EachOfTheAdministratorsNamesLogsIn)
{
    for (const char* name :
        { SambaAdServer::adminDn(), SambaAdServer::adminPrincipal(), SambaAdServer::adminDownLevel() }) {
        SCOPED_TRACE(name);
        desktop = FakeDesktop {};
        write("OrnIni.ini",
            std::string("ad=") + samba_->host() + ";389;" + SambaAdServer::suffix() + ";" + name + ";\n");
        onDialog<LoginDialog>(desktop, [](LoginDialog& dialog) {
            dialog.chooseProfileName(0);
            dialog.chooseUserDetail(0);
            dialog.setPassword(SambaAdServer::adminPassword());
            dialog.connect();
        });
        LoginCommand(context);

        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
        EXPECT_TRUE(state.flags.loggedIn);
        EXPECT_EQ(state.connection.userType, kValidUser);
        // Samba refuses anonymous searches below the root DSE: this one is bound.
        HeldResult found;
        EXPECT_EQ(service.OrnSearchSync(SambaAdServer::adminDn(), "objectclass=*", nullptr, 0, 0, found.place()), 0);
        service.DestroyAll();
    }
}

} // namespace
