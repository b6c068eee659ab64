// The Root DSE dialog against slapd: user and operational attributes, one
// row per value in the server's order.
#include "browser/session/RootDseDialog.h"
#include "tests/browser/properties/AttributeEditingFixture.h"
#include "tests/support/SambaAdServer.h"

using Row = RootDseDialog::Row;

using RootDseDialogTest = EditSuite;

TEST_F(RootDseDialogTest, EveryValueInTheServersOrder)
{
    browse();
    std::vector<Row> rows;
    onDialog<RootDseDialog>(desktop, [&rows](RootDseDialog& dialog) {
        rows = dialog.rows();
        dialog.close();
    });
    RootDseProperties(context);
    for (const Row& operational : { Row { "namingContexts", SlapdServer::suffix() },
             Row { "subschemaSubentry", "cn=Subschema" }, Row { "supportedLDAPVersion", "3" } })
        EXPECT_NE(std::find(rows.begin(), rows.end(), operational), rows.end()) << operational.name;

    // The server's own order of a multi-valued attribute, read without the dialog.
    std::string every = "+";
    char* attributes[] = { every.data(), nullptr };
    HeldResult result;
    ASSERT_EQ(service.OrnSearchSync("", "objectclass=*", attributes, 0, 0, result.place()), 0);
    std::vector<Row> controls;
    for (const std::string& control : AttributeValues(result.get(), "supportedControl"))
        controls.push_back({ "supportedControl", control });
    ASSERT_GT(controls.size(), 1u);
    auto first = std::find(rows.begin(), rows.end(), controls.front());
    ASSERT_GE(rows.end() - first, static_cast<long>(controls.size()));
    EXPECT_EQ(std::vector<Row>(first, first + static_cast<long>(controls.size())), controls);
    EXPECT_TRUE(desktop.boxes.empty());
}

// Samba answers a root DSE search for "+" alone with nothing at all, and one
// for "*" with everything, operational attributes included: the dialog asks
// for both and shows them.
class RootDseOnSamba : public CoreFolderTest {
protected:
    static void SetUpTestSuite() { samba_.start({}); }
    static void TearDownTestSuite() { samba_.stop(); }
    void SetUp() override
    {
        ORN_REQUIRE_SERVER(samba_);
        service.OrnSetLdapVersion(3);
        service.OrnSetHostName(samba_->host().c_str());
        service.OrnSetPortNo(SambaAdServer::port());
        ASSERT_EQ(service.OrnInitialise(), 0);
        ASSERT_EQ(service.OrnBindSync(SambaAdServer::adminPrincipal(), SambaAdServer::adminPassword(), kSimpleBind), 0);
        state.connection.host = samba_->host();
        state.connection.port = SambaAdServer::port();
        state.flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
    }
    void TearDown() override { service.DestroyAll(); }

    static inline SuiteServer<SambaAdServer, SambaAdOptions> samba_;
};

TEST_F(RootDseOnSamba, ShowsWhatSambaGivesForTheStar)
{
    std::vector<Row> rows;
    onDialog<RootDseDialog>(desktop, [&rows](RootDseDialog& dialog) {
        rows = dialog.rows();
        dialog.close();
    });
    RootDseProperties(context);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    for (const Row& row : { Row { "namingContexts", SambaAdServer::suffix() },
             Row { "subschemaSubentry", "CN=Aggregate,CN=Schema,CN=Configuration,DC=example,DC=test" } })
        EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << row.name;
}
