// What only Samba AD does: the simple-bind names Active Directory takes (a
// full DN, a user principal name and a down-level logon name; the last two
// are no DNs and no uid a search could find, and are bound as typed), and a
// root DSE that answers "+" alone with nothing.
#include "browser/session/LoginDialog.h"
#include "browser/session/RootDseDialog.h"
#include "tests/browser/BrowserTest.h"
#include "tests/support/SambaAdServer.h"

#include <algorithm>
#include <vector>

namespace {

class OnSamba : public CoreFolderTest {
protected:
    static void SetUpTestSuite() { samba_.start({}); }
    static void TearDownTestSuite() { samba_.stop(); }
    void SetUp() override { ORN_REQUIRE_SERVER(samba_); }
    void TearDown() override { service.DestroyAll(); }

    // Connected and bound as the Administrator, as a login leaves it.
    void bindAsAdmin()
    {
        service.OrnSetLdapVersion(3);
        service.OrnSetHostName(samba_->host().c_str());
        service.OrnSetPortNo(SambaAdServer::port());
        ASSERT_EQ(service.OrnInitialise(), 0);
        ASSERT_EQ(service.OrnBindSync(SambaAdServer::adminPrincipal(), SambaAdServer::adminPassword(), kSimpleBind), 0);
        state.connection.host = samba_->host();
        state.connection.port = SambaAdServer::port();
        state.flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
    }

    static inline SuiteServer<SambaAdServer, SambaAdOptions> samba_;
};

TEST_F(OnSamba, EachOfTheAdministratorsNamesLogsIn)
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

// Samba answers "+" alone with nothing and "*" with everything, operational
// attributes included: the dialog asks for both and shows them.
TEST_F(OnSamba, TheRootDseDialogShowsWhatSambaGivesForTheStar)
{
    bindAsAdmin();
    std::vector<RootDseDialog::Row> rows;
    onDialog<RootDseDialog>(desktop, [&rows](RootDseDialog& dialog) {
        rows = dialog.rows();
        dialog.close();
    });
    RootDseProperties(context);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    using Row = RootDseDialog::Row;
    for (const Row& row : { Row { "namingContexts", SambaAdServer::suffix() },
             Row { "subschemaSubentry", "CN=Aggregate,CN=Schema,CN=Configuration,DC=example,DC=test" } })
        EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << row.name;
}

} // namespace
