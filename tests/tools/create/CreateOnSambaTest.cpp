// Create Object on an Active Directory server (Samba AD): its subschema DN
// names the Aggregate entry, so the dialog offers the five fixed classes
// with their fixed attributes, and each entry is checked back on the server.
#include "browser/session/ServerInfo.h"
#include "tests/support/SambaAdServer.h"
#include "tests/tools/create/CreateFixture.h"
#include "tools/create/CreateCommands.h"
#include "tools/create/CreateObjectDialog.h"

namespace {

class CreateOnSamba : public CoreFolderTest {
protected:
    static void SetUpTestSuite() { samba_.start({}); }
    static void TearDownTestSuite() { samba_.stop(); }
    void SetUp() override { ORN_REQUIRE_SERVER(samba_); }
    void TearDown() override { service.DestroyAll(); }

    static inline SuiteServer<SambaAdServer, SambaAdOptions> samba_;
};

} // namespace

TEST_F(CreateOnSamba, TheFixedClassesCreateTheirEntries)
{
    service.OrnSetLdapVersion(3);
    service.OrnSetHostName(samba_->host().c_str());
    service.OrnSetPortNo(SambaAdServer::port());
    ASSERT_EQ(service.OrnInitialise(), 0);
    ASSERT_EQ(service.OrnBindSync(SambaAdServer::adminDn(), SambaAdServer::adminPassword(), kSimpleBind), 0);
    state.connection.host = samba_->host();
    state.connection.port = SambaAdServer::port();
    state.connection.baseDn = SambaAdServer::suffix();
    state.flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
    ReadServerInfo(context);
    EXPECT_NE(state.subschemaDn.find("Aggregate"), std::string::npos) << state.subschemaDn;
    LoadTree(context);
    ASSERT_FALSE(state.tree.empty());

    struct Case {
        std::string className;
        std::map<std::string, std::string> values;
        Strings offered;
        std::string rdn;
    };
    const std::vector<Case> cases {
        { "user", { { "cn", "Orn User" }, { "SamAccountName", "ornuser" } }, { "cn", "SamAccountName" },
            "cn=Orn User" },
        { "Group", { { "cn", "Orn Group" }, { "SamAccountName", "orngroup" } }, { "cn", "SamAccountName" },
            "cn=Orn Group" },
        { "organizationalUnit", { { "ou", "Orn Unit" } }, { "ou" }, "ou=Orn Unit" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        selectPath(context, {});
        desktop = FakeDesktop {};
        Strings offered;
        onDialog<CreateObjectDialog>(desktop, [&](CreateObjectDialog& dialog) {
            EXPECT_TRUE(dialog.activeDirectory());
            EXPECT_EQ(dialog.classes().items, Strings({ "computer", "Contact", "Group", "organizationalUnit", "user" }));
            EXPECT_EQ(dialog.classes().selected, -1);
            dialog.chooseClass(indexOf(dialog.classes().items, c.className));
            dialog.create();
        });
        onDialog<MandatoryAttributesDialog>(
            desktop, [&](MandatoryAttributesDialog& form) { fillForm(form, c.values, offered); });
        CreateObjectCommand(context);
        EXPECT_EQ(offered, c.offered);
        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;

        HeldResult entry;
        const std::string dn = c.rdn + "," + SambaAdServer::suffix();
        ASSERT_EQ(service.OrnSearchSync(dn.c_str(), "objectclass=*", nullptr, 0, 0, entry.place()), 0) << dn;
        Strings classes = AttributeValues(entry.get(), "objectClass");
        EXPECT_TRUE(std::any_of(classes.begin(), classes.end(),
            [&](const std::string& v) { return strcasecmp(v.c_str(), c.className.c_str()) == 0; }));
        for (const auto& [name, value] : c.values)
            EXPECT_EQ(AttributeValues(entry.get(), name), Strings({ value })) << name;
        const auto& shown = state.tree.root()->children;
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const auto& node) { return node->label == c.rdn; }));
    }
}
