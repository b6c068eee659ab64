// The Schema Manager and its dialogs against slapd (the two-search path of
// cn=Subschema, the detail dialogs, slapd's refusal of schema changes) and
// against a scripted peer (the one-search path of a subschema DN slapd does
// not have, and the exact requests of the two additions).
#include "browser/properties/EntryProperties.h"
#include "browser/session/Logout.h"
#include "tests/browser/BrowserTest.h"
#include "tests/support/BerWriter.h"
#include "tests/support/FakeLdapServer.h"
#include "tools/schema/AddAttributeTypeDialog.h"
#include "tools/schema/AddObjectClassDialog.h"
#include "tools/schema/SchemaDetailsDialogs.h"
#include "tools/schema/SchemaManagerDialog.h"

#include <chrono>
#include <functional>

namespace {

using namespace std::chrono_literals;
using Fake = FakeLdapServer;

const Strings kReadStatus { "Schema Manager in Progress Getting Schema Details", "Schema Manager" };

SchemaManagerDialog& managerOf(ViewState& state)
{
    return dynamic_cast<SchemaManagerDialog&>(*state.schemaManager);
}

bool holds(const Strings& items, const std::string& item)
{
    return indexOf(items, item) < static_cast<int>(items.size());
}

} // namespace

class SchemaManagerTest : public BrowserTest {
protected:
    static void SetUpTestSuite() { startServer({}); }

    SchemaManagerTest() { logInAsAdmin(); }

    SchemaManagerDialog& open()
    {
        SchemaManagerCommand(context);
        return managerOf(state);
    }
};

TEST_F(SchemaManagerTest, TheTwoSearchesOfCnSubschemaFillBothListsSorted)
{
    for (const char* subschemaDn : { "cn=Subschema", "CN=SUBSCHEMA" }) {
        SCOPED_TRACE(subschemaDn);
        desktop = FakeDesktop {};
        state.schemaManager.reset();
        state.subschemaDn = subschemaDn;
        SchemaManagerDialog& manager = open();

        EXPECT_TRUE(desktop.boxes.empty());
        EXPECT_EQ(desktop.dialogsRun, Strings { "Schema Manager" });
        EXPECT_EQ(desktop.statusTexts, kReadStatus);
        const Strings& classes = manager.classes().items;
        const Strings& attributes = manager.attributes().items;
        EXPECT_TRUE(holds(classes, "inetOrgPerson") && holds(classes, "OrnObjectLink"));
        EXPECT_TRUE(holds(attributes, " 'cn' 'commonName' ") && holds(attributes, "OrnAttrObjectLink"));
        EXPECT_TRUE(std::is_sorted(classes.begin(), classes.end(),
            [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; }));
        EXPECT_EQ(state.attributeTypes.count(), attributes.size());
        // The first class is chosen.
        EXPECT_EQ(manager.classes().selected, 0);
        EXPECT_EQ(state.selectedClassName, classes.front());
    }
}

TEST_F(SchemaManagerTest, TheCommandShowsTheOpenWindowAgainAndMakesANewOneAfterClose)
{
    ReadAttributeTypes(context); // as a tree load does
    SchemaManagerDialog& first = open();
    SchemaManagerCommand(context);
    EXPECT_EQ(&managerOf(state), &first);
    EXPECT_EQ(desktop.dialogsRun, (Strings { "Schema Manager", "Schema Manager" }));
    // Shown again, not read again.
    EXPECT_EQ(desktop.statusTexts, kReadStatus);

    // The attribute types stay: the attribute list names syntaxes by them.
    first.close();
    EXPECT_TRUE(state.objectClasses.empty());
    EXPECT_EQ(SyntaxColumnText(state, "cn"), "Case Ignore String {32768}");
    SchemaManagerDialog& second = open();
    EXPECT_FALSE(second.ended());
    EXPECT_FALSE(second.classes().items.empty());
    EXPECT_EQ(desktop.statusTexts.size(), 4u);

    // A logout closes it.
    state.flags.connectionLost = true;
    Logout(context);
    EXPECT_TRUE(second.ended());
}

TEST_F(SchemaManagerTest, DetailDialogsShowTheChosenRecord)
{
    SchemaManagerDialog& manager = open();
    struct AttributeCase {
        std::string name, oid, syntax, description;
    };
    const std::vector<AttributeCase> attributes {
        // Found again by the raw text of its names.
        { " 'cn' 'commonName' ", "2.5.4.3", "", "RFC4519: common name(s) for which the entity is known by" },
        { "name", "2.5.4.41", "1.3.6.1.4.1.1466.115.121.1.15{32768} )",
            "RFC4519: common supertype of name attributes" },
        { "OrnAttrObjectLink", "1.3.6.1.4.1.99999.1.1", "1.3.6.1.4.1.1466.115.121.1.12 )",
            "DN of the entry an object link points to" },
    };
    for (const AttributeCase& expected : attributes) {
        SCOPED_TRACE(expected.name);
        manager.chooseAttribute(indexOf(manager.attributes().items, expected.name));
        EXPECT_EQ(state.selectedAttributeName, expected.name);
        EXPECT_EQ(manager.classes().selected, -1);
        onDialog<AttributeDetailsDialog>(desktop, [&](AttributeDetailsDialog& dialog) {
            EXPECT_EQ(Strings({ dialog.name(), dialog.oid(), dialog.syntax(), dialog.description() }),
                Strings({ expected.name, expected.oid, expected.syntax, expected.description }));
        });
        manager.attributeDetails();
    }

    struct ClassCase {
        std::string name, oid, description;
        Strings superiors, mandatory;
    };
    const std::vector<ClassCase> classes {
        { "person", "2.5.6.6", "RFC2256: a person", { "top" }, { "sn", "cn" } },
        // No MUST: one empty row.
        { "inetOrgPerson", "2.16.840.1.113730.3.2.2", "RFC2798: Internet Organizational Person",
            { "organizationalPerson" }, { "" } },
    };
    for (const ClassCase& expected : classes) {
        SCOPED_TRACE(expected.name);
        manager.chooseClass(indexOf(manager.classes().items, expected.name));
        EXPECT_EQ(manager.attributes().selected, -1);
        onDialog<ClassDetailsDialog>(desktop, [&](ClassDetailsDialog& dialog) {
            EXPECT_EQ(Strings({ dialog.name(), dialog.oid(), dialog.description() }),
                Strings({ expected.name, expected.oid, expected.description }));
            EXPECT_EQ(dialog.superiors(), expected.superiors);
            EXPECT_EQ(dialog.mandatory(), expected.mandatory);
        });
        manager.classDetails();
    }
    EXPECT_TRUE(desktop.boxes.empty());

    // Nothing chosen yet, or not logged in: refused with a box.
    const std::vector<std::pair<std::function<void()>, Box>> refusals {
        { [&] { manager.attributeDetails(); }, errorBox("Please select an attribute to view it's Details") },
        { [&] { manager.classDetails(); }, errorBox("Please select class to view it's details") },
        { [&] { manager.addNewClass(); },
            errorBox("No Schema Modification Access :- Set the ACI Attributes in the LDAP Server", "ACI ERROR") },
        { [&] { manager.addNewAttribute(); },
            errorBox("No Schema Modification Access :- Set the ACI Attributes in the LDAP Server", "ACI ERROR") },
    };
    state.selectedAttributeName.clear();
    state.selectedClassName.clear();
    state.flags.loggedIn = false;
    for (const auto& [press, box] : refusals) {
        desktop.boxes.clear();
        press();
        EXPECT_EQ(desktop.boxes, Boxes { box });
    }
    EXPECT_EQ(desktop.dialogsRun.size(), 1u + attributes.size() + classes.size());
}

// slapd keeps its schema in its configuration: a change over LDAP is refused,
// shown as the server's answer, and the dialog stays with the lists intact.
TEST_F(SchemaManagerTest, SlapdsRefusalIsShownAndNothingElseChanges)
{
    SchemaManagerDialog& manager = open();
    const Strings classes = manager.classes().items;
    const std::size_t types = state.attributeTypes.count();
    auto refused = [&](DialogModel& dialog, const std::function<void()>& ok) {
        ok();
        EXPECT_FALSE(dialog.ended());
    };
    onDialog<AddAttributeTypeDialog>(desktop, [&](AddAttributeTypeDialog& dialog) {
        dialog.setName("myAttr");
        refused(dialog, [&] { dialog.ok(); });
    });
    manager.addNewAttribute();
    onDialog<AddObjectClassDialog>(desktop, [&](AddObjectClassDialog& dialog) {
        // slapd has no cn=Schema: the dialog reads cn=subschema instead.
        EXPECT_TRUE(holds(dialog.parent().items, "person"));
        EXPECT_TRUE(holds(dialog.available().items, " 'cn' 'commonName' "));
        dialog.setName("myClass");
        refused(dialog, [&] { dialog.ok(); });
    });
    manager.addNewClass();

    ASSERT_EQ(desktop.boxes.size(), 2u);
    const Boxes shown = desktop.boxes;
    EXPECT_EQ(shown[0].title, "Server Response");
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_EQ(manager.classes().items, classes);
    EXPECT_EQ(state.attributeTypes.count(), types);
    EXPECT_NE(state.objectClasses.find("person"), nullptr);
    EXPECT_FALSE(manager.ended());
    EXPECT_EQ(state.objectClasses.find("myClass"), nullptr);
}

TEST_F(SchemaManagerTest, ALostConnectionEndsTheWindowAndLogsOut)
{
    service.DestroyAll();
    SchemaManagerCommand(context);
    EXPECT_EQ(desktop.boxes, Boxes { errorBox("Please Login again. Connection timed out") });
    EXPECT_TRUE(state.schemaManager->ended());
    EXPECT_TRUE(state.flags.viewNotConnected);
    EXPECT_FALSE(state.flags.connectionLost);
    EXPECT_EQ(desktop.dialogsRun, Strings {});
}

// A peer with a subschema entry of its own name, which slapd will not play.
class SchemaOnScriptedPeer : public CoreFolderTest {
protected:
    static constexpr uint32_t kBindResponse = 0x61, kSearchEntry = 0x64, kSearchDone = 0x65, kModifyRequest = 0x66,
                              kModifyResponse = 0x67;

    static Bytes done(int32_t msgid, uint32_t op, int32_t code = 0)
    {
        Writer w;
        EXPECT_NE(w.codec.ber_printf(w.ber, "{it{ess}}", msgid, op, code, "", ""), -1);
        return w.bytes();
    }
    // One entry holding one class and one attribute type, then the end.
    static Bytes schemaEntry(int32_t msgid, const char* dn)
    {
        Writer w;
        EXPECT_NE(w.codec.ber_printf(w.ber, "{it{s{{s[ss]}{s[ss]}}}}", msgid, kSearchEntry, dn, "objectClasses",
                      "( 2.5.6.0 NAME 'top' MUST objectClass )", "( 9.9.9 NAME 'madeUp' SUP top MUST cn )",
                      "attributeTypes", "( 2.5.4.3 NAME ( 'cn' 'commonName' ) )", "( 2.5.4.0 NAME 'objectClass' )"),
            -1);
        Bytes bytes = w.bytes();
        Bytes end = done(msgid, kSearchDone);
        bytes.insert(bytes.end(), end.begin(), end.end());
        return bytes;
    }
    // ModifyRequest ::= [APPLICATION 6] SEQUENCE { object LDAPDN, changes SEQUENCE OF SEQUENCE {
    //     operation ENUMERATED, modification SEQUENCE { type, vals SET OF value } } }
    static Bytes modifyRequest(int32_t msgid, const char* type, const std::string& value)
    {
        Writer w;
        // i=msgid t=tag s=object e=operation s=type [s]=vals
        EXPECT_NE(
            w.codec.ber_printf(w.ber, "{it{s{{e{s[s]}}}}}", msgid, kModifyRequest, "cn=Schema", 0, type, value.c_str()),
            -1);
        return w.bytes();
    }

    void connect(Fake& fake) { logInToPeer(fake.port()); }
    ~SchemaOnScriptedPeer() override { service.DestroyAll(); }
};

TEST_F(SchemaOnScriptedPeer, AnotherSubschemaDnIsReadWithOneSearchNamingBothAttributes)
{
    Fake fake({ Fake::receiveMessage(), Fake::send(done(1, kBindResponse)), Fake::receiveMessage(),
        Fake::send(schemaEntry(2, "cn=Made Up Schema")) });
    connect(fake);
    state.subschemaDn = "cn=Made Up Schema";
    SchemaManagerCommand(context);

    SchemaManagerDialog& manager = managerOf(state);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(manager.classes().items, (Strings { "madeUp", "top" }));
    EXPECT_EQ(manager.attributes().items, (Strings { " 'cn' 'commonName' ", "objectClass" }));
    EXPECT_EQ(desktop.statusTexts, kReadStatus);
    // SearchRequest: baseObject of the DN, attributes named, as 389 needs them.
    const Bytes search = fake.receivedMessages().at(1);
    for (const char* part : { "cn=Made Up Schema", "objectclass", "objectclasses", "attributetypes" })
        EXPECT_NE(std::search(search.begin(), search.end(), part, part + strlen(part)), search.end()) << part;
    EXPECT_EQ(fake.receivedMessages().size(), 2u);
}

TEST_F(SchemaOnScriptedPeer, TheAdditionsSendTheirDefinitionsToCnSchema)
{
    const std::string classDefinition
        = "(1.2.3 NAME 'myClass' DESC 'UserDefined ObjectClass' SUP 'top' MUST ( objectclass $ cn ) MAY ( aci ))";
    const std::string typeDefinition
        = "( 1.2.3.4 NAME 'myAttr' DESC 'User Defined Attrbute' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )";
    Fake fake({ Fake::receiveMessage(), Fake::send(done(1, kBindResponse)), Fake::receiveMessage(),
        Fake::send(schemaEntry(2, "cn=Schema")), Fake::receiveMessage(), Fake::send(done(3, kModifyResponse)),
        Fake::receiveMessage(), Fake::send(done(4, kModifyResponse)), Fake::hold() });
    connect(fake);

    AddObjectClassDialog addClass(context);
    addClass.open();
    EXPECT_EQ(addClass.parent().text, "top");
    // The multi-name entry goes as its first name.
    addClass.chooseAvailable(indexOf(addClass.available().items, " 'cn' 'commonName' "));
    addClass.addMandatory();
    EXPECT_EQ(addClass.mandatory().items, (Strings { "objectclass", " 'cn' 'commonName' " }));
    addClass.setOid("1.2.3");
    addClass.setName("myClass");
    addClass.ok();
    EXPECT_EQ(addClass.result(), DialogResult::Ok);

    AddAttributeTypeDialog addType(context);
    addType.setName("myAttr");
    addType.setOid("1.2.3.4");
    addType.ok();
    EXPECT_EQ(addType.result(), DialogResult::Ok);

    ASSERT_TRUE(fake.waitForScriptEnd(5s));
    EXPECT_EQ(fake.receivedMessages().at(2), modifyRequest(3, "objectclasses", classDefinition));
    EXPECT_EQ(fake.receivedMessages().at(3), modifyRequest(4, "attributetypes", typeDefinition));
    EXPECT_TRUE(desktop.boxes.empty());
    // What the program wrote reads back with its whole OID.
    EXPECT_EQ(ParseObjectClass(classDefinition).oid, "1.2.3");
}
