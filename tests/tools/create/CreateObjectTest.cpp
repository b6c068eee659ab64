// Object creation against slapd: Create Object with the classes of the
// server's schema, Add User and Add Organisation Unit, each entry checked
// back on the server and in the tree.
#include "browser/CommandReports.h"
#include "tests/tools/create/CreateFixture.h"
#include "tools/create/AddOrgUnitDialog.h"
#include "tools/create/AddUserDialog.h"
#include "tools/create/CreateCommands.h"
#include "tools/create/CreateObjectDialog.h"
#include "tools/create/NewEntry.h"

namespace {

const std::string kBase = SlapdServer::suffix();

class CreateObjectTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        startServer(options);
    }

    CreateObjectTest()
    {
        logInAsAdmin();
        LoadTree(context);
        desktop = FakeDesktop {};
    }

    // Create Object on the node at path with the class chosen; the form
    // filled with values (left open when there are none).
    Strings createObject(const Strings& path, const std::string& className,
        const std::map<std::string, std::string>& values)
    {
        Strings offered;
        EXPECT_NE(selectPath(context, path), nullptr);
        desktop = FakeDesktop {};
        onDialog<CreateObjectDialog>(desktop, [&](CreateObjectDialog& dialog) {
            EXPECT_TRUE(std::is_sorted(dialog.classes().items.begin(), dialog.classes().items.end(),
                [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; }));
            EXPECT_EQ(dialog.classes().selected, 0);
            dialog.chooseClass(indexOf(dialog.classes().items, className));
            dialog.create();
        });
        onDialog<MandatoryAttributesDialog>(desktop, [&](MandatoryAttributesDialog& form) {
            EXPECT_EQ(form.caption(), "Mandatory Attributes for " + className);
            fillForm(form, values, offered);
        });
        CreateObjectCommand(context);
        return offered;
    }

    // The labels below the node at path.
    Strings labelsAt(const Strings& path)
    {
        TreeNode* node = context.state.tree.root();
        for (const std::string& label : path)
            node = node ? find(node, label) : nullptr;
        return node ? labels(node) : Strings {};
    }
};

} // namespace

TEST_F(CreateObjectTest, TheClassChainDecidesTheFormAndTheName)
{
    struct Case {
        const char* what;
        Strings path; // of the node selected
        std::string className;
        std::map<std::string, std::string> values;
        Strings offered;
        std::string rdn; // as the tree shows it; empty: nothing created
        std::string checkAttribute, checkValue; // read back from the server
    };
    const std::vector<Case> cases {
        { "inetOrgPerson's chain gives cn and sn, named by cn, under the base DN", {}, "inetOrgPerson",
            { { "sn", "Lee" }, { "cn", "Ann" } }, { "cn", "sn" }, "cn=Ann", "sn", "Lee" },
        { "under a nested node, the value escaped in the RDN", { "ou=People" }, "inetOrgPerson",
            { { "sn", "Doe" }, { "cn", "Doe, Jane" } }, { "cn", "sn" }, "cn=Doe\\, Jane", "cn", "Doe, Jane" },
        { "a class that requires only objectClass offers its first optional", { "ou=People" }, "locality",
            { { "street", "  Main Road  " } }, { "street" }, "street=Main Road", "street", "Main Road" },
        { "of two superiors only the last is followed (o is not asked for)", {}, "pilotOrganization", {}, { "ou" },
            "", "", "" },
        { "neither uid nor cn: the first row names it (slapd gives account MUST userid)", { "ou=People" },
            "account", { { "userid", "svc" } }, { "userid" }, "userid=svc", "uid", "svc" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(createObject(c.path, c.className, c.values), c.offered);
        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
        if (c.rdn.empty()) {
            EXPECT_TRUE(desktop.pauses.empty());
            continue;
        }
        std::string parent;
        for (auto label = c.path.rbegin(); label != c.path.rend(); ++label)
            parent += *label + ",";
        const std::string dn = c.rdn + "," + parent + kBase;
        EXPECT_EQ(server().ldapsearchValues(dn, c.checkAttribute), Strings({ c.checkValue }));
        EXPECT_EQ(server().ldapsearchValues(dn, "objectClass").front(), c.className);
        Strings shown = labelsAt(c.path);
        EXPECT_NE(std::find(shown.begin(), shown.end(), c.rdn), shown.end());
        EXPECT_EQ(state.loadedDns.back(), dn);
        EXPECT_EQ(desktop.pauses, std::vector<int>({ 500 }));
    }
}

// uid names the entry even where cn sorts first; the placeholder of a row
// left empty is refused before anything is sent, and a server's refusal
// keeps the form open.
TEST_F(CreateObjectTest, UidNamesTheEntryAndEveryValueIsNeeded)
{
    selectPath(context, { "ou=People" });
    desktop = FakeDesktop {};
    std::string labelText;
    MandatoryAttributesDialog form(context, "inetOrgPerson", { "cn", "sn", "uid" }, ParentDn(context), labelText);
    Strings offered;
    fillForm(form, { { "cn", "Jo" }, { "uid", "jo" } }, offered);
    form.setValue(1, "   ");
    form.ok();
    EXPECT_EQ(form.rows()[1].value, MandatoryAttributesDialog::kNoValue);
    EXPECT_EQ(desktop.boxes,
        Boxes(2, errorBox("Invalid Data Filled...Please Fill all the Details", "ERROR")));
    EXPECT_FALSE(form.ended());

    form.setValue(1, "Lu");
    form.ok();
    EXPECT_TRUE(form.ended());
    EXPECT_EQ(labelText, "uid=jo");
    EXPECT_EQ(server().ldapsearchValues("uid=jo,ou=People," + kBase, "cn"), Strings({ "Jo" }));

    // The same entry again: the refusal is shown and what was typed stays.
    MandatoryAttributesDialog again(context, "inetOrgPerson", { "cn", "sn", "uid" }, ParentDn(context), labelText);
    desktop = FakeDesktop {};
    fillForm(again, { { "cn", "Jo" }, { "sn", "Lu" }, { "uid", "jo" } }, offered);
    EXPECT_FALSE(again.ended());
    EXPECT_EQ(desktop.boxes, Boxes({ errorBox(OrnLdapService::LdapErrorToString(68), "Server Response") }));
    EXPECT_EQ(again.rows()[2].value, "jo");
}

TEST_F(CreateObjectTest, AddUserAndAddOrganisationUnit)
{
    struct Case {
        const char* what;
        bool user; // else an organisational unit
        Strings path;
        std::string name, lastName;
        std::string rdn;             // empty: the server refuses
        std::string dnOnServer;      // read back from the server
    };
    const std::vector<Case> cases {
        { "a comma in the first name is escaped; blanks around it go", true, { "ou=People" }, "  Smith, John ",
            "Smith", "cn=Smith\\, John", "cn=Smith\\, John,ou=People," + kBase },
        { "an empty last name is sent empty: the server's answer is shown", true, {}, "Nobody", "", "", "" },
        { "an organisational unit under the base DN", false, {}, "Sales + Support", "",
            "ou=Sales \\+ Support", "ou=Sales \\+ Support," + kBase },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        selectPath(context, c.path);
        desktop = FakeDesktop {};
        bool stayedOpen = false;
        if (c.user)
            onDialog<AddUserDialog>(desktop, [&](AddUserDialog& dialog) {
                dialog.setFirstName(c.name);
                dialog.setLastName(c.lastName);
                dialog.ok();
                stayedOpen = !dialog.ended();
            });
        else
            onDialog<AddOrgUnitDialog>(desktop, [&](AddOrgUnitDialog& dialog) {
                dialog.setName(c.name);
                dialog.ok();
                stayedOpen = !dialog.ended();
            });
        c.user ? AddUserCommand(context) : AddOrgUnitCommand(context);
        EXPECT_EQ(stayedOpen, c.rdn.empty());
        if (c.rdn.empty()) {
            std::string answer = OrnLdapService::LdapErrorToString(21);
            EXPECT_EQ(desktop.boxes, Boxes({ errorBox(answer, "Server Response") }));
            EXPECT_NE(read("Generror.err").find(answer), std::string::npos);
            continue;
        }
        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
        const std::string attribute = c.user ? "cn" : "ou";
        EXPECT_EQ(server().ldapsearchValues(c.dnOnServer, attribute), Strings({ c.user ? "Smith, John" : c.name }));
        if (c.user) {
            EXPECT_EQ(server().ldapsearchValues(c.dnOnServer, "sn"), Strings({ c.lastName }));
        }
        Strings shown = labelsAt(c.path);
        EXPECT_NE(std::find(shown.begin(), shown.end(), c.rdn), shown.end());
        EXPECT_TRUE(desktop.pauses.empty());
    }
}

TEST_F(CreateObjectTest, TheCommandsRefuseWithoutWriteAccessOrSelection)
{
    state.flags.loggedIn = false;
    CreateObjectCommand(context);
    AddUserCommand(context);
    AddOrgUnitCommand(context);
    state.flags.loggedIn = true;
    state.tree.select(nullptr);
    CreateObjectCommand(context);
    AddUserCommand(context);
    AddOrgUnitCommand(context);
    EXPECT_EQ(desktop.boxes,
        Boxes({ errorBox("Write Access not available. Please set the ACI Attributes in the LDAP Server", "ACI Error"),
            errorBox("Write access not available. Please set the ACI Attributes in the LDAP Server", "ACI Error"),
            errorBox("Please Select an Item"), errorBox("Please Select an Item"), errorBox("Please Select an Item") }));

    // Empty names are refused in the dialog, which stays open.
    selectPath(context, {});
    desktop = FakeDesktop {};
    onDialog<AddUserDialog>(desktop, [](AddUserDialog& dialog) {
        dialog.setFirstName("   ");
        dialog.ok();
        EXPECT_FALSE(dialog.ended());
    });
    onDialog<AddOrgUnitDialog>(desktop, [](AddOrgUnitDialog& dialog) {
        dialog.ok();
        EXPECT_FALSE(dialog.ended());
    });
    AddUserCommand(context);
    AddOrgUnitCommand(context);
    EXPECT_EQ(desktop.boxes,
        Boxes({ errorBox("Invalid Data. Please fill in data"), errorBox("Invalid Data.Please fill in data") }));
}

// The server went while the form was open: said so, then the logout.
TEST_F(CreateObjectTest, ALostConnectionLogsOut)
{
    selectPath(context, {});
    desktop = FakeDesktop {};
    onDialog<AddOrgUnitDialog>(desktop, [this](AddOrgUnitDialog& dialog) {
        dialog.setName("Gone");
        server().stop();
        dialog.ok();
    });
    AddOrgUnitCommand(context);
    EXPECT_EQ(desktop.boxes.front(), errorBox(kConnectionTimedOutAgain));
    EXPECT_NE(read("Generror.err").find(kLostLine), std::string::npos);
    expectLoggedOut();
}
