// The attribute list of the main view against a real slapd: the rows of an
// entry with their syntaxes, object links followed once, entries deleted
// behind our back, the attribute-type read, and a server that went away.
#include "browser/properties/EntryProperties.h"
#include "browser/CommandReports.h"
#include "tests/browser/BrowserTest.h"

namespace {

using Rows = std::vector<AttributeRow>;

// The server keeps one RDN short, so the DN grows by nesting.
const std::string kLongCn(200, 'x');
const std::string kLongParentDn = "cn=" + std::string(200, 'y') + ",ou=Projects,dc=example,dc=com";
const std::string kLongDn = "cn=" + kLongCn + "," + kLongParentDn;
const std::string kLongDescription(5000, 'd');

// Beside the test directory: a link to a link, an entry the tests delete,
// and an entry whose DN and value are longer than any buffer would be.
std::string extraLdif()
{
    return "dn: cn=Ref:Ref:bob,ou=Projects,dc=example,dc=com\n"
           "objectClass: OrnObjectLink\n"
           "cn: Ref:Ref:bob\n"
           "OrnAttrObjectLink: cn=Ref:bob,ou=Projects,dc=example,dc=com\n\n"
           "dn: cn=doomed,ou=Projects,dc=example,dc=com\n"
           "objectClass: organizationalRole\n"
           "cn: doomed\n\n"
           "dn: "
        + kLongParentDn + "\nobjectClass: organizationalRole\ncn: " + std::string(200, 'y') + "\n\ndn: " + kLongDn
        + "\nobjectClass: organizationalRole\ncn: " + kLongCn + "\ndescription: " + kLongDescription + "\n";
}

} // namespace

class EntryPropertiesTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.ldifText = extraLdif();
        startServer(options);
    }

    EntryPropertiesTest() { logInAsAdmin(); }

    // Selects the DN as the tree would, without a node.
    void select(const std::string& dn)
    {
        state.selection.fullDn = dn;
        state.selection.label = dn.substr(0, dn.find(','));
        state.editing.keepDn = false;
        state.editing.followLink = false;
    }
    Rows show(const std::string& dn)
    {
        select(dn);
        ShowEntryProperties(context);
        return state.attributes.rows();
    }
};

void PrintTo(const AttributeRow& row, std::ostream* out)
{
    *out << "{ \"" << row.value << "\", \"" << row.name << "\", \"" << row.syntax << "\" }";
}

const std::string kAlice = "uid=alice,ou=People,dc=example,dc=com";
const std::string kBob = "uid=bob,ou=People,dc=example,dc=com";
const std::string kLink = "cn=Ref:bob,ou=Projects,dc=example,dc=com";
const std::string kLinkToLink = "cn=Ref:Ref:bob,ou=Projects,dc=example,dc=com";
const std::string kDoomed = "cn=doomed,ou=Projects,dc=example,dc=com";
// slapd writes its syntaxes unquoted; the column names the syntax without
// the rest of the definition, and its length bound after the name.
const std::string kClassSyntax = "Class Name";
const std::string kNameSyntax = "Case Ignore String {32768}";

TEST_F(EntryPropertiesTest, OneRowPerValueInResultOrderWithTheSyntaxOfItsSchemaRecord)
{
    ReadAttributeTypes(context);
    EXPECT_EQ(show(kAlice),
        (Rows {
            { kAlice, "dn", "Not Available" },
            { "inetOrgPerson", "objectClass", kClassSyntax },
            { "alice", "uid", "Case Ignore String {256}" },
            // cn, sn and givenName inherit the syntax of their supertype name.
            { "Alice Archer", "cn", kNameSyntax },
            { "Archer", "sn", kNameSyntax },
            { "Alice", "givenName", kNameSyntax },
            { "alice@example.com", "mail", "Case-Exact String (CES) {256}" },
            { "+1 555 0101", "telephoneNumber", "Telephone Number {32}" },
            // An Octet String is bytes, whatever they look like.
            { "alice-pw", "userPassword", "Path {128}", true },
        }));
    EXPECT_EQ(state.editing.dnToShow, kAlice);
    EXPECT_EQ(state.editing.namingAttribute, "uid");
    EXPECT_EQ(state.editing.lastValue, "alice-pw");
    EXPECT_EQ(state.generalResult.get(), nullptr);

    EXPECT_EQ(show("cn=staff,ou=Groups,dc=example,dc=com"),
        (Rows {
            { "cn=staff,ou=Groups,dc=example,dc=com", "dn", "Not Available" },
            { "groupOfNames", "objectClass", kClassSyntax },
            { "staff", "cn", kNameSyntax },
            { kAlice, "member", "Distinguished Name" },
            { kBob, "member", "Distinguished Name" },
        }));
    // o finds its own type ('o' 'organizationName') and inherits from name.
    EXPECT_EQ(show(SlapdServer::suffix()).back(), (AttributeRow { "Example Corporation", "o", kNameSyntax }));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(EntryPropertiesTest, DnsAndValuesOfAnyLengthStayWhole)
{
    Rows rows = show(kLongDn);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].value, kLongDn);
    EXPECT_EQ(rows[2].value, kLongCn);
    EXPECT_EQ(rows[3], (AttributeRow { kLongDescription, "description", "Not Available" }));
    EXPECT_EQ(state.editing.namingAttribute, "cn");
}

TEST_F(EntryPropertiesTest, ViewOriginalPropertiesFollowsOneLinkOnly)
{
    ReadAttributeTypes(context);
    const Rows bob = show(kBob);
    EXPECT_EQ(show(kLink),
        (Rows {
            { kLink, "dn", "Not Available" },
            { "OrnObjectLink", "objectClass", kClassSyntax },
            { "Ref:bob", "cn", kNameSyntax },
            { kBob, "OrnAttrObjectLink", "Distinguished Name" },
        }));
    ViewOriginalProperties(context);
    EXPECT_EQ(state.attributes.rows(), bob);
    EXPECT_EQ(state.editing.dnToShow, kBob);
    EXPECT_EQ(state.editing.namingAttribute, "uid");
    EXPECT_TRUE(state.editing.keepDn);
    EXPECT_FALSE(state.editing.followLink);
    // Showing the entry again keeps to the link's target.
    ShowEntryProperties(context);
    EXPECT_EQ(state.attributes.rows(), bob);

    // A link to a link shows the second link, not what that one points to.
    const Rows link = show(kLink);
    show(kLinkToLink);
    ViewOriginalProperties(context);
    EXPECT_EQ(state.attributes.rows(), link);
    EXPECT_EQ(state.editing.dnToShow, kLink);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(EntryPropertiesTest, AnEntryDeletedBehindOurBackLosesItsNode)
{
    TreeNode* root = state.tree.setRoot(SlapdServer::suffix(), NodeImage::Root);
    TreeNode* projects = state.tree.append(root, "ou=Projects", NodeImage::Container);
    TreeNode* doomed = state.tree.append(projects, "cn=doomed", NodeImage::Leaf);
    state.tree.select(doomed);
    show(kDoomed);
    ASSERT_EQ(state.attributes.size(), 3);

    ASSERT_EQ(service.OrnDeleteSync(kDoomed.c_str()), 0);
    ShowEntryProperties(context);
    EXPECT_EQ(desktop.boxes, Boxes({ errorBox("Object does not exist. The object could have been deleted from server") }));
    EXPECT_EQ(state.attributes.size(), 0);
    EXPECT_EQ(state.tree.selected(), nullptr);
    EXPECT_TRUE(projects->children.empty());
    EXPECT_EQ(state.generalResult.get(), nullptr);
}

TEST_F(EntryPropertiesTest, ReadAttributeTypesReplacesTheSchemaLists)
{
    state.objectClasses.add("( 1.1 NAME 'stale' )");
    state.attributeTypes.add("( 1.1 NAME 'stale' )");
    state.multiNames.push_back(" 'stale' 'old' ");
    ReadAttributeTypes(context);
    ReadAttributeTypes(context);

    EXPECT_TRUE(state.objectClasses.empty());
    EXPECT_EQ(state.attributeTypes.find("stale"), nullptr);
    ASSERT_NE(state.attributeTypes.find("OrnAttrObjectLink"), nullptr);
    // Every record with several names, once each, in the order the server sent them.
    std::size_t severalNames = 0;
    for (const AttributeTypeRecord& record : state.attributeTypes)
        severalNames += record.name.find(' ') != std::string::npos;
    EXPECT_EQ(state.multiNames.size(), severalNames);
    ASSERT_GE(state.multiNames.size(), 2u);
    EXPECT_EQ(state.multiNames[0], " 'aliasedObjectName' 'aliasedEntryName' ");
    EXPECT_EQ(state.multiNames[1], " 'cn' 'commonName' ");
    EXPECT_EQ(state.rootDseResult.get(), nullptr);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(EntryPropertiesTest, AStoppedServer)
{
    struct Restart {
        ~Restart() { server().restart(); }
    } restartAfterwards;
    show(kAlice);
    server().stop();

    // The tree command that asked for the entry handles the lost connection.
    ShowEntryProperties(context);
    EXPECT_EQ(state.attributes.size(), 0);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_FALSE(state.flags.connectionLost);

    const Box lost = errorBox(kConnectionTimedOut);
    ReadAttributeTypes(context);
    EXPECT_EQ(desktop.boxes, std::vector<Box> { lost });
    EXPECT_TRUE(state.flags.connectionLost);
    EXPECT_NE(read("Generror.err").find(kLostLine), std::string::npos);

    // The library's own schema read is not logged.
    std::filesystem::remove("Generror.err");
    desktop.boxes.clear();
    state.flags.connectionLost = false;
    state.subschemaDn.clear();
    ReadAttributeTypes(context);
    EXPECT_EQ(desktop.boxes, std::vector<Box> { lost });
    EXPECT_TRUE(state.flags.connectionLost);
    EXPECT_FALSE(std::filesystem::exists("Generror.err"));
}

TEST(SyntaxColumnText, LooksUpNamesSecondNamesAndTheDisplayTable)
{
    ViewState state;
    for (const char* definition : {
             "( 2.5.4.3 NAME ( 'cn' 'commonName' ) SYNTAX '1.3.6.1.4.1.1466.115.121.1.15' )",
             "( 2.5.4.4 NAME ( 'sn' 'surname' ) SUP name )",
             "( 2.5.4.10 NAME ( 'o' 'organizationName' ) SUP name )",
             "( 2.5.4.31 NAME 'member' SYNTAX '1.3.6.1.4.1.1466.115.121.1.12' )",
             "( 2.5.4.41 NAME 'name' SYNTAX '1.3.6.1.4.1.1466.115.121.1.15{64}' )",
             "( 1.1 NAME 'padded' SYNTAX ' 1.3.6.1.4.1.1466.115.121.1.27 ' )",
             "( 1.2 NAME 'unset' SYNTAX '' )",
             "( 1.3 NAME 'inherits' SUP name )",
             "( 1.4 NAME 'loop' SUP 'loop' )",
         }) {
        const std::string& name = state.attributeTypes.add(definition);
        if (name.find(' ') != std::string::npos)
            state.multiNames.push_back(name);
    }
    const std::vector<std::pair<std::string, std::string>> cases {
        { "member", "Distinguished Name" },
        { "MEMBER", "Distinguished Name" },
        { "name", "Case Ignore String {64}" },
        { "padded", "INTEGER" },
        { "unset", "Not Available" },
        // A type without a syntax of its own takes its supertype's.
        { "inherits", "Case Ignore String {64}" },
        { "loop", "Not Available" },
        { "absent", "Not Available" },
        // Every name of a multi-name type is found through the table of raw
        // names, as a whole quoted name.
        { "commonName", "Case Ignore String" },
        { "cn", "Case Ignore String" },
        { "mon", "Not Available" },
        { "o", "Case Ignore String {64}" },
        { "surname", "Case Ignore String {64}" },
        { "CommonName", "Case Ignore String" },
    };
    for (const auto& [name, syntax] : cases)
        EXPECT_EQ(SyntaxColumnText(state, name), syntax) << name;
}
