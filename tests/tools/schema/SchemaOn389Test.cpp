// The Schema Manager on 389 Directory Server, which takes schema changes
// over LDAP: its subschema entry cn=schema read with one search, and a class
// and an attribute type added through the dialogs, seen in the window after
// its re-read and in a search of cn=schema.
#include "browser/session/ServerInfo.h"
#include "tests/browser/BrowserTest.h"
#include "tests/support/Ds389Server.h"
#include "tools/schema/AddAttributeTypeDialog.h"
#include "tools/schema/AddObjectClassDialog.h"
#include "tools/schema/SchemaDetailsDialogs.h"
#include "tools/schema/SchemaManagerDialog.h"
#include "tools/schema/SchemaRead.h"

namespace {

class SchemaOn389 : public CoreFolderTest {
protected:
    static void SetUpTestSuite() { ds389_.start({}); }
    static void TearDownTestSuite() { ds389_.stop(); }
    void SetUp() override
    {
        ORN_REQUIRE_SERVER(ds389_);
        service.OrnSetLdapVersion(3);
        service.OrnSetHostName(ds389_->host().c_str());
        service.OrnSetPortNo(ds389_->port());
        ASSERT_EQ(service.OrnInitialise(), 0);
        ASSERT_EQ(service.OrnBindSync(Ds389Server::adminDn(), Ds389Server::adminPassword(), kSimpleBind), 0);
        state.connection.host = ds389_->host();
        state.connection.baseDn = Ds389Server::suffix();
        state.flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
        ReadServerInfo(context);
    }
    void TearDown() override { service.DestroyAll(); }

    SchemaManagerDialog& manager() { return dynamic_cast<SchemaManagerDialog&>(*state.schemaManager); }

    static inline SuiteServer<Ds389Server, Ds389Options> ds389_;
};

TEST_F(SchemaOn389, AClassAndAnAttributeAddedThroughTheDialogsAreInTheSchema)
{
    EXPECT_EQ(state.subschemaDn, "cn=schema");
    SchemaManagerCommand(context);
    ASSERT_FALSE(manager().ended());
    const Strings& classes = manager().classes().items;
    EXPECT_GT(indexOf(classes, "inetOrgPerson"), -1);
    EXPECT_LT(indexOf(classes, "inetOrgPerson"), static_cast<int>(classes.size()));
    EXPECT_LT(
        indexOf(manager().attributes().items, "nsUniqueId"), static_cast<int>(manager().attributes().items.size()));

    onDialog<AddAttributeTypeDialog>(desktop, [](AddAttributeTypeDialog& dialog) {
        dialog.setName("velmoraColour");
        dialog.setOid("1.3.6.1.4.1.99999.9.1");
        dialog.ok();
    });
    manager().addNewAttribute();
    onDialog<AddObjectClassDialog>(desktop, [](AddObjectClassDialog& dialog) {
        dialog.chooseAvailable(indexOf(dialog.available().items, "velmoraColour"));
        dialog.addOptional();
        dialog.setName("velmoraThing");
        dialog.setOid("1.3.6.1.4.1.99999.9.2");
        dialog.ok();
    });
    manager().addNewClass();
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;

    // The window read the schema again and shows both.
    const Strings& attributes = manager().attributes().items;
    manager().chooseAttribute(indexOf(attributes, "velmoraColour"));
    onDialog<AttributeDetailsDialog>(desktop, [](AttributeDetailsDialog& dialog) {
        EXPECT_EQ(dialog.oid(), "1.3.6.1.4.1.99999.9.1");
        EXPECT_EQ(dialog.syntax().substr(0, 29), "1.3.6.1.4.1.1466.115.121.1.15");
        EXPECT_EQ(dialog.description(), "User Defined Attrbute");
    });
    manager().attributeDetails();
    manager().chooseClass(indexOf(manager().classes().items, "velmoraThing"));
    onDialog<ClassDetailsDialog>(desktop, [](ClassDetailsDialog& dialog) {
        EXPECT_EQ(dialog.oid(), "1.3.6.1.4.1.99999.9.2");
        EXPECT_EQ(dialog.superiors(), Strings { "top" });
        EXPECT_EQ(dialog.optional(), (Strings { "aci", "velmoraColour" }));
    });
    manager().classDetails();
    EXPECT_EQ(desktop.dialogsRun,
        (Strings {
            "Schema Manager", "Add New Attribute", "Add New Object Class", "Attribute Details", "Class Details" }));

    ASSERT_EQ(ReadSchemaEntry(context, "cn=schema", { "objectclasses", "attributetypes" }), 0);
    auto holdsName = [&](const char* attribute, const std::string& name) {
        const Strings values = AttributeValues(state.rootDseResult.get(), attribute);
        return std::any_of(values.begin(), values.end(),
            [&](const std::string& value) { return value.find("NAME '" + name + "'") != std::string::npos; });
    };
    EXPECT_TRUE(holdsName("objectclasses", "velmoraThing"));
    EXPECT_TRUE(holdsName("attributetypes", "velmoraColour"));
}

} // namespace
