// One session on each of the three directory servers, as a user has it: the
// Login dialog with the administrator's name, the tree it loads, an entry
// shown with the syntaxes of the server's schema, a level opened, and the
// Root DSE dialog. What the servers share must work on all of them.
#include "browser/properties/AddAttributeDialog.h"
#include "browser/properties/AttributeEditing.h"
#include "browser/session/LoginDialog.h"
#include "browser/session/NewProfileDialog.h"
#include "browser/session/NewProfileLogin.h"
#include "browser/session/RootDseDialog.h"
#include "browser/tree/TreeCommands.h"
#include "tests/browser/BrowserTest.h"
#include "tests/support/Bytes.h"
#include "tests/support/Ds389Server.h"
#include "tests/support/SambaAdServer.h"
#include "tests/support_tests/LdapUtils.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <type_traits>

namespace {

// What a test needs of a server, whichever it is.
struct ServerUnderTest {
    std::string host;
    int port = 0;
    std::string suffix;
    std::string adminName;
    std::string adminPassword;
    std::string subschema;
    bool holdsTestDirectory = false; // data/test-directory.ldif: alice, bob and carol
    std::string binaryRdn; // of ou=Staff's child with a binary value
    std::string binaryAttribute;
};

struct ServerKind {
    const char* name;
    std::function<std::shared_ptr<void>(ServerUnderTest&)> start; // the running server; throws as the fixture does
};

// Entries every test server holds: ou=Staff below the suffix for the edits,
// a chain of organisational units whose deepest DN is several hundred
// characters long (60 is Active Directory's longest ou), and below ou=Staff
// an entry with a binary value of a type the server's schema allows.
const std::string kPhoto = [] {
    std::string bytes = "\x89PNG\r\n\x1A\n";
    for (int i = 0; bytes.size() < 2912; ++i)
        bytes += static_cast<char>(i * 7);
    return bytes;
}();
constexpr int kDeepLevels = 5;

// "Level 1 of a deep chain, \ and +" and x's to 60 characters.
std::string deepValue(int level)
{
    std::string value = "Level " + std::to_string(level) + " of a deep chain, \\ and +";
    return value + std::string(60 - value.size(), 'x');
}

std::string deepRdn(int level)
{
    std::string escaped;
    for (char c : deepValue(level))
        escaped += std::string(c == ',' || c == '\\' || c == '+' ? "\\" : "") + c;
    return "ou=" + escaped;
}

std::string deepDn(int levels, const std::string& suffix)
{
    std::string dn = suffix;
    for (int level = 1; level <= levels; ++level)
        dn = deepRdn(level) + "," + dn;
    return dn;
}

std::string staffLdif(const std::string& suffix, const std::string& binaryEntry)
{
    std::string ldif
        = "dn: ou=Staff," + suffix + "\nobjectClass: organizationalUnit\nou: Staff\ndescription: old\n\n" + binaryEntry;
    for (int level = 1; level <= kDeepLevels; ++level)
        ldif += "\ndn: " + deepDn(level, suffix) + "\nobjectClass: organizationalUnit\nou: " + deepValue(level) + "\n";
    return ldif;
}

// slapd and 389: a person's jpegPhoto.
std::string photoPersonLdif(const std::string& suffix)
{
    return "dn: cn=Binary,ou=Staff," + suffix + "\nobjectClass: inetOrgPerson\ncn: Binary\nsn: Binary\njpegPhoto:: "
        + base64(kPhoto) + "\n";
}

void PrintTo(const ServerKind& kind, std::ostream* out)
{
    *out << kind.name;
}

template <class Server, class Options> std::shared_ptr<void> started(Options options, ServerUnderTest& out,
    const std::string& adminName, const std::string& subschema, const std::string& binaryRdn,
    const std::string& binaryAttribute)
{
    auto server = std::make_shared<Server>(std::move(options));
    out = { server->host(), server->port(), Server::suffix(), adminName, Server::adminPassword(), subschema,
        !std::is_same_v<Server, SambaAdServer>, binaryRdn, binaryAttribute };
    return server;
}

const ServerKind kServers[] = {
    { "slapd",
        [](ServerUnderTest& out) {
            SlapdOptions options;
            options.ldifFile = SlapdServer::testDirectoryLdif();
            options.ldifText = staffLdif(SlapdServer::suffix(), photoPersonLdif(SlapdServer::suffix()));
            return started<SlapdServer>(options, out, SlapdServer::adminDn(), "cn=Subschema", "cn=Binary", "jpegPhoto");
        } },
    { "389",
        [](ServerUnderTest& out) {
            Ds389Options options;
            options.ldifFile = SlapdServer::testDirectoryLdif();
            options.ldifText = staffLdif(Ds389Server::suffix(), photoPersonLdif(Ds389Server::suffix()));
            return started<Ds389Server>(options, out, Ds389Server::adminDn(), "cn=schema", "cn=Binary", "jpegPhoto");
        } },
    { "Samba",
        [](ServerUnderTest& out) {
            // An organisational unit's logo: Active Directory has no inetOrgPerson by default.
            const std::string logo = "dn: ou=Binary,ou=Staff," + std::string(SambaAdServer::suffix())
                + "\nobjectClass: organizationalUnit\nou: Binary\nthumbnailLogo:: " + base64(kPhoto) + "\n";
            return started<SambaAdServer>(SambaAdOptions { staffLdif(SambaAdServer::suffix(), logo) }, out,
                SambaAdServer::adminPrincipal(), "CN=Aggregate,CN=Schema,CN=Configuration,DC=example,DC=test",
                "ou=Binary", "thumbnailLogo");
        } },
};

class SessionOnEveryServer : public CoreFolderTest, public ::testing::WithParamInterface<ServerKind> {
protected:
    void SetUp() override
    {
        try {
            server_ = GetParam().start(under_);
        } catch (const server_process::ServerUnavailable& unavailable) {
            GTEST_SKIP() << unavailable.what();
        }
    }
    void TearDown() override { service.DestroyAll(); }

    // The Login dialog as a user works it, by default with the administrator's name.
    void logIn() { logIn(under_.adminName, under_.adminPassword); }
    void logIn(const std::string& userId, const std::string& password)
    {
        write("OrnIni.ini",
            "main=" + under_.host + ";" + std::to_string(under_.port) + ";" + under_.suffix + ";" + userId + ";\n");
        onDialog<LoginDialog>(desktop, [password](LoginDialog& dialog) {
            dialog.chooseProfileName(0);
            dialog.chooseUserDetail(0);
            dialog.setPassword(password);
            dialog.connect();
        });
        LoginCommand(context);
    }

    // Add Attribute as a user works it: the type chosen by name, any case.
    void addAttribute(const std::string& name, const std::string& value)
    {
        onDialog<AddAttributeDialog>(desktop, [&name, &value](AddAttributeDialog& dialog) {
            const auto& items = dialog.attributes().items;
            auto found = std::find_if(items.begin(), items.end(),
                [&name](const std::string& item) { return strcasecmp(item.c_str(), name.c_str()) == 0; });
            ASSERT_NE(found, items.end()) << name;
            dialog.chooseAttribute(static_cast<int>(found - items.begin()));
            dialog.setValue(value);
            dialog.ok();
        });
        AddAttributeCommand(context);
    }

    // The row of the attribute (any spelling) with the value, or -1.
    int row(const std::string& name, const std::string& value) const
    {
        const auto& rows = state.attributes.rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (strcasecmp(rows[i].name.c_str(), name.c_str()) == 0 && rows[i].value == value)
                return static_cast<int>(i);
        return -1;
    }

    // The node of the child with the label, any case, or null.
    static TreeNode* child(TreeNode* parent, const std::string& label)
    {
        for (const auto& node : parent->children)
            if (strcasecmp(node->label.c_str(), label.c_str()) == 0)
                return node.get();
        return nullptr;
    }

    int32_t searchable()
    {
        HeldResult result;
        return service.OrnSearchSync("", "objectclass=*", nullptr, 0, 0, result.place());
    }

    ServerUnderTest under_;

private:
    std::shared_ptr<void> server_;
};

TEST_P(SessionOnEveryServer, LogsInBrowsesAndShowsEntriesAndTheRootDse)
{
    logIn();
    ASSERT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_EQ(state.connection.userType, kValidUser);
    EXPECT_EQ(state.subschemaDn, under_.subschema);

    // The base and its first level, each child shown with its attributes.
    ASSERT_FALSE(state.tree.empty());
    TreeNode* root = state.tree.root();
    EXPECT_EQ(strcasecmp(root->label.c_str(), under_.suffix.c_str()), 0) << root->label;
    ASSERT_FALSE(root->children.empty());
    TreeNode* child = root->children.front().get();
    SelectNode(context, child);
    ExpandNode(context);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    const auto& rows = state.attributes.rows();
    ASSERT_FALSE(rows.empty());
    // The schema read gave the list its syntaxes: objectClass is a name on every server.
    auto objectClass = std::find_if(rows.begin(), rows.end(),
        [](const AttributeRow& row) { return strcasecmp(row.name.c_str(), "objectClass") == 0; });
    ASSERT_NE(objectClass, rows.end());
    EXPECT_NE(objectClass->syntax, "Not Available");

    std::vector<RootDseDialog::Row> dse;
    onDialog<RootDseDialog>(desktop, [&dse](RootDseDialog& dialog) {
        dse = dialog.rows();
        dialog.close();
    });
    RootDseProperties(context);
    EXPECT_NE(std::find(dse.begin(), dse.end(), RootDseDialog::Row { "subschemaSubentry", under_.subschema }),
        dse.end());
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
}

// An in-place edit, Add and Delete Attribute and a rename to a name with
// commas and a plus reach the server.
TEST_P(SessionOnEveryServer, EditsAddsDeletesAndRenames)
{
    logIn();
    ASSERT_FALSE(state.tree.empty());
    TreeNode* staff = child(state.tree.root(), "ou=Staff");
    ASSERT_NE(staff, nullptr);
    SelectNode(context, staff);
    auto edit = [this](int index, const std::string& text) {
        ASSERT_GE(index, 0);
        state.attributes.select(index);
        ASSERT_TRUE(CanStartValueEdit(context, EditTrigger::Command));
        BeginValueEdit(context, index);
        EndValueEdit(context, text);
    };

    edit(row("description", "old"), "new");
    EXPECT_GE(row("description", "new"), 0);

    addAttribute("street", "1 Main Street");
    EXPECT_GE(row("street", "1 Main Street"), 0);

    state.attributes.select(row("street", "1 Main Street"));
    DeleteAttributeCommand(context);
    EXPECT_LT(row("street", "1 Main Street"), 0);

    desktop.answer(MessageAnswer::Yes);
    // Each server answers with its own DN forms; the new name is escaped once.
    edit(row("ou", "Staff"), "Sales, East + West");
    EXPECT_GE(row("ou", "Sales, East + West"), 0);
    EXPECT_NE(child(state.tree.root(), "ou=Sales\\, East \\+ West"), nullptr);
    EXPECT_EQ(child(state.tree.root(), "ou=Staff"), nullptr);
    for (const auto& box : desktop.boxes)
        EXPECT_NE(box.icon, MessageIcon::Error) << box.text;
}

// Values reach the server byte for byte: text beyond ASCII typed into an
// entry whose DN is several hundred characters long with escapes in every
// RDN, and a binary value that is shown as a placeholder, cannot be edited
// as text and is left whole by an edit of its entry's other attributes.
TEST_P(SessionOnEveryServer, ValuesKeepTheirBytes)
{
    logIn();
    ASSERT_FALSE(state.tree.empty());
    const std::string text = "Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC";
    auto serverHolds = [this](const std::string& dn, const std::string& name, const std::string& value) {
        const std::string ldif = search("ldap://" + under_.host + ":" + std::to_string(under_.port), dn, "(objectClass=*)",
            name + " -s base", " -D '" + under_.adminName + "' -w '" + under_.adminPassword + "'");
        return ldif.find("\n" + name + ":: " + base64(value) + "\n") != std::string::npos;
    };

    TreeNode* node = state.tree.root();
    for (int level = 1; level <= kDeepLevels && node; ++level) {
        SelectNode(context, node);
        ExpandNode(context);
        TreeNode* next = nullptr;
        for (const auto& child : node->children)
            if (strncasecmp(child->label.c_str(), "ou=Level ", 9) == 0)
                next = child.get();
        node = next;
    }
    ASSERT_NE(node, nullptr);
    SelectNode(context, node);
    EXPECT_GT(state.selection.fullDn.size(), 300u);
    addAttribute("description", text);
    EXPECT_GE(row("description", text), 0);
    EXPECT_TRUE(serverHolds(deepDn(kDeepLevels, under_.suffix), "description", text));

    TreeNode* staff = child(state.tree.root(), "ou=Staff");
    ASSERT_NE(staff, nullptr);
    SelectNode(context, staff);
    ExpandNode(context);
    TreeNode* binary = child(staff, under_.binaryRdn);
    ASSERT_NE(binary, nullptr);
    SelectNode(context, binary);
    const int photo = row(under_.binaryAttribute, kPhoto);
    ASSERT_GE(photo, 0);
    EXPECT_EQ(state.attributes.row(photo).shownValue(), "(binary value, 2,912 bytes)");
    state.attributes.select(photo);
    EXPECT_FALSE(CanStartValueEdit(context, EditTrigger::Command));
    addAttribute("description", "beside the bytes");
    EXPECT_GE(row("description", "beside the bytes"), 0);
    EXPECT_TRUE(serverHolds(under_.binaryRdn + ",ou=Staff," + under_.suffix, under_.binaryAttribute, kPhoto));
}

// Fetch DN's offers the server's naming contexts, the suffix first among them.
TEST_P(SessionOnEveryServer, FetchDnsOffersTheSuffix)
{
    NewProfileDialog dialog(desktop, state);
    WireNewProfileDialog(context, dialog);
    dialog.setText(NewProfileDialog::Field::Host, under_.host);
    dialog.setText(NewProfileDialog::Field::Port, std::to_string(under_.port));
    dialog.fetchDns();
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    ASSERT_FALSE(dialog.baseDn().items.empty());
    EXPECT_EQ(strcasecmp(dialog.baseDn().items.front().c_str(), under_.suffix.c_str()), 0)
        << dialog.baseDn().items.front();
    EXPECT_EQ(searchable(), ORN_NOT_INITIALISED) << "Fetch DN's leaves no connection open";
}

// The schema the login read gives every attribute type of the server a
// name, and the parse keeps each definition's OID.
TEST_P(SessionOnEveryServer, TheSchemaReadParsesEveryAttributeType)
{
    logIn();
    ASSERT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_GT(state.attributeTypes.count(), 100u);
    auto numeric = [](const std::string& text) { return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])); };
    for (const AttributeTypeRecord& type : state.attributeTypes) {
        EXPECT_FALSE(type.name.empty()) << type.definition;
        // 389 has OIDs such as "nsTLS12-oid": whatever the first word is.
        const std::size_t first = type.definition.find_first_not_of("( ");
        EXPECT_EQ(type.oid, type.definition.substr(first, type.definition.find(' ', first) - first));
        // Samba quotes its syntaxes, 389 and slapd do not: an OID either way.
        EXPECT_TRUE(type.syntax.empty() || numeric(type.syntax)) << type.definition;
    }
}

// Two to a page, Show Next walks the base's children to the end, each once.
TEST_P(SessionOnEveryServer, ShowNextPagesThroughTheBasesChildren)
{
    state.pageSize = 2;
    logIn();
    ASSERT_FALSE(state.tree.empty());
    TreeNode* root = state.tree.root();
    EXPECT_EQ(root->children.size(), 2u);
    HeldResult children;
    ASSERT_EQ(service.OrnSearchSync(under_.suffix.c_str(), "objectclass=*", nullptr, 0, 1, children.place()), 0);
    const int total = service.OrnCountEntries(children.get());
    ASSERT_GE(total, 4);

    SelectNode(context, root);
    for (int step = 0; step < total && !state.paging.noMoreEntries; ++step)
        ShowNext(context);
    EXPECT_TRUE(state.paging.noMoreEntries);
    std::set<std::string> labels;
    for (const auto& node : root->children)
        labels.insert(node->label);
    EXPECT_EQ(labels.size(), root->children.size());
    EXPECT_EQ(static_cast<int>(root->children.size()), total);
}

// The first bind proves the password; the user's uid is then looked up below
// the base and the DN found bound on a new connection.
TEST_P(SessionOnEveryServer, AUidIsFoundBelowTheBaseAndBoundAsItsDn)
{
    if (!under_.holdsTestDirectory)
        GTEST_SKIP() << GetParam().name << " does not hold the test directory's people";
    logIn("uid=alice,ou=People," + under_.suffix, "alice-pw");
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_EQ(state.connection.userType, kValidUser);
    EXPECT_EQ(strcasecmp(state.connection.bindDn.c_str(), ("uid=alice,ou=People," + under_.suffix).c_str()), 0)
        << state.connection.bindDn;
    EXPECT_EQ(state.connection.userId, "alice");
    EXPECT_EQ(desktop.pauses, std::vector<int>({ 1000 })) << "the second connect";
}

INSTANTIATE_TEST_SUITE_P(Servers, SessionOnEveryServer, ::testing::ValuesIn(kServers),
    [](const ::testing::TestParamInfo<ServerKind>& server) {
        return std::string(server.param.name) == "389" ? std::string("Ds389") : std::string(server.param.name);
    });

} // namespace
