// Delete Object against slapd: a leaf with exactly the object links that
// name it, a subtree deepest first with its progress, the first refusal in
// a subtree, and the refusals before anything is sent.
#include "tests/tools/entries/EntriesFixture.h"

#include "browser/CommandTable.h"
#include "tests/ldap/Messages.h"
#include "tests/support/FakeLdapServer.h"

namespace entries {
namespace {

class EntryDelete : public EntriesTest { };

TEST_F(EntryDelete, ALeafGoesWithTheLinksThatNameItAndNoOthers)
{
    struct Case {
        const char* what;
        Strings path;
        Strings linksGone, linksKept;
    };
    const std::vector<Case> cases {
        { "links name the DN in any case and spacing; the same RDN elsewhere keeps its own", { "ou=People", "uid=bob" },
            { "cn=Ref:bob,ou=Projects," + kBase, "cn=Ref:Bob,ou=Alumni," + kBase },
            { "cn=Ref:uid=bob,ou=Groups," + kBase, "uid=bob,ou=Alumni," + kBase } },
        { "a star in the name is no pattern", { "ou=Names", "cn=A*" }, { "cn=Ref:cn=A*,ou=Names," + kBase },
            { "cn=Ref:cn=AB,ou=Names," + kBase, "cn=AB,ou=Names," + kBase } },
        { "an escaped comma, \\, in the link and \\2C from the server", { "ou=Names", "cn=Doe\\2C Jane" },
            { "cn=Ref:cn=Doe\\\\\\, Jane,ou=Names," + kBase }, { "cn=Ref:cn=AB,ou=Names," + kBase } },
    };
    start();
    // The link to bob is shown before the delete, and goes from the tree with him.
    ASSERT_NE(at({ "ou=Projects", "cn=Ref:bob" }), nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TreeNode* node = at(c.path);
        ASSERT_NE(node, nullptr) << ::testing::PrintToString(labels(shown({ c.path.front() })));
        const std::string dn = BuildFullDn(*node);
        TreeNode* parent = node->parent;

        desktop.answer(MessageAnswer::No);
        DeleteObjectCommand(context);
        EXPECT_TRUE(onServer(dn)) << "No keeps it";

        desktop = FakeDesktop {};
        DeleteObjectCommand(context);
        EXPECT_EQ(desktop.boxes, Boxes { question("Delete Selected Object", "Delete") });
        EXPECT_FALSE(onServer(dn));
        for (const std::string& link : c.linksGone)
            EXPECT_FALSE(onServer(link)) << link;
        for (const std::string& kept : c.linksKept)
            EXPECT_TRUE(onServer(kept)) << kept;
        EXPECT_EQ(find(parent, c.path.back()), nullptr);
        EXPECT_EQ(state.tree.selected(), parent) << "the parent is selected after";
    }
    EXPECT_EQ(find(shown({ "ou=Projects" }), "cn=Ref:bob"), nullptr);
}

TEST_F(EntryDelete, ASubtreeGoesWithItsProgressAndTheLinksIntoIt)
{
    start();
    // cn=early moves into a container younger than itself first.
    const std::string archive = "ou=Archive," + kBase;
    ASSERT_EQ(
        service.OrnModifyRdnSync(("cn=early," + archive).c_str(), "cn=early", 0, ("ou=Box," + archive).c_str()), 0);
    ASSERT_NE(at({ "ou=Archive" }), nullptr);
    DeleteObjectCommand(context);
    EXPECT_EQ(desktop.boxes, Boxes { question("Delete selected Container?", "Delete Container Object") });
    const Strings progress { "range 0 5", "step 1", "position 0", "step it", "step it", "step it", "step it", "step it",
        "position 0" };
    ASSERT_GE(desktop.progress.size(), progress.size());
    EXPECT_EQ(Strings(desktop.progress.begin(), desktop.progress.begin() + 9), progress);
    for (const std::string& dn : { archive, "ou=Box," + archive, "cn=early,ou=Box," + archive,
             "cn=inner,ou=Box," + archive, "cn=Ref:cn=early,ou=Box," + archive })
        EXPECT_FALSE(onServer(dn)) << dn;
    EXPECT_FALSE(onServer("cn=Ref:cn=inner,ou=Groups," + kBase)) << "the link from outside";
    EXPECT_EQ(shown({ "ou=Archive" }), nullptr);
    EXPECT_EQ(state.tree.selected(), state.tree.root());
}

// slapd sends a subtree parents first; a server need not. This one sends an
// entry moved into a younger container before that container.
class DeleteOnScriptedPeer : public CoreFolderTest {
protected:
    ~DeleteOnScriptedPeer() override { service.DestroyAll(); }
};

TEST_F(DeleteOnScriptedPeer, ChildrenGoFirstWhateverOrderTheyCameIn)
{
    using Fake = FakeLdapServer;
    constexpr uint32_t kBind = 0x61, kDone = 0x65, kDeleted = 0x6B;
    const std::string early = "cn=early,ou=Box,ou=Archive,dc=x";
    auto answer = [](const Bytes& bytes) { return std::vector { Fake::receiveMessage(), Fake::send(bytes) }; };
    Fake::Script script;
    for (const Bytes& reply : { resultMessage(1, kBind, 0),
             entryMessage(2, early, {}) + resultMessage(2, kDone, 0), // one child is answer enough
             entryMessage(3, early, {}) + entryMessage(3, "ou=Archive,dc=x", {})
                 + entryMessage(3, "ou=Box,ou=Archive,dc=x", {}) + resultMessage(3, kDone, 0),
             resultMessage(4, kDone, 0), // no object links
             resultMessage(5, kDeleted, 0), resultMessage(6, kDeleted, 0), resultMessage(7, kDeleted, 0),
             // The root is selected after: its entry, and its children.
             entryMessage(8, "dc=x", { { "objectClass", { "domain" } } }) + resultMessage(8, kDone, 0),
             resultMessage(9, kDone, 0) })
        for (Fake::Step& step : answer(reply))
            script.push_back(std::move(step));
    script.push_back(Fake::hold());
    Fake fake(std::move(script));
    logInToPeer(fake.port(), "dc=x");
    ASSERT_FALSE(HasFatalFailure());
    TreeNode* root = state.tree.setRoot("dc=x", NodeImage::Root);
    state.tree.select(state.tree.append(root, "ou=Archive", NodeImage::Container));

    DeleteObjectCommand(context);
    EXPECT_EQ(desktop.boxes.size(), 1u) << "the question only";
    Strings deleted;
    for (const Bytes& message : fake.receivedMessages()) {
        const std::size_t op = 4 + message[3]; // after the message id
        if (message[op] == 0x4A)
            deleted.emplace_back(message.begin() + static_cast<std::ptrdiff_t>(op + 2),
                message.begin() + static_cast<std::ptrdiff_t>(op + 2 + message[op + 1]));
    }
    EXPECT_EQ(deleted, (Strings { early, "ou=Box,ou=Archive,dc=x", "ou=Archive,dc=x" }));
    EXPECT_TRUE(root->children.empty());
}

TEST_F(EntryDelete, TheFirstRefusalEndsTheSubtreeAndSaysHowFarItCame)
{
    start(true);
    ASSERT_NE(at({ "ou=Vault" }), nullptr);
    DeleteObjectCommand(context);
    const std::string text = "Insufficient access rights\n\nThe server refused to delete cn=keep,ou=Vault," + kBase
        + ". 2 of the 4 entries of ou=Vault," + kBase + " had been deleted before it; the tree shows what is left.";
    EXPECT_EQ(desktop.boxes,
        (Boxes {
            question("Delete selected Container?", "Delete Container Object"), errorBox(text, "Server Response") }));
    EXPECT_EQ(read("Generror.err"),
        "12/05/26$16:01:02$ServerIp 127.0.0.1 Insufficient access rights (cn=keep,ou=Vault," + kBase
            + "): 2 of the 4 entries of ou=Vault," + kBase + " deleted before it\n");
    EXPECT_FALSE(onServer("cn=a,ou=Vault," + kBase));
    EXPECT_TRUE(onServer("cn=keep,ou=Vault," + kBase));
    EXPECT_EQ(labels(shown({ "ou=Vault" })), Strings { "cn=keep" });
}

// Each refusal comes before anything is changed; none leaves the clipboard holding anything.
TEST_F(EntryDelete, RefusalsBeforeAnythingIsSent)
{
    using enum CommandId;
    struct Case {
        const char* what;
        bool loggedIn;
        Strings path;
        CommandId command;
        Box box;
    };
    const std::string aci = "Access denied.Please set the ACI attributes in the LDAP Server";
    const std::vector<Case> cases {
        { "the root with children", true, {}, DeleteObject, errorBox("Cannot delete root object") },
        { "a linked entry is not cut", true, { "ou=Alumni", "uid=bob" }, Cut,
            errorBox("Operation Terminated. Link of this Object found") },
        { "a container is not cut", true, { "ou=Groups" }, Cut, errorBox("Please select leaf object") },
        { "a container is not copied", true, { "ou=Groups" }, Copy, errorBox("Please select leaf object") },
        { "nothing to paste", true, { "ou=Groups" }, Paste, errorBox("Please Cut or Copy an Item to Be Pasted") },
        { "a link of a link (slapd writes its = as \\3D)", true, { "ou=Groups", "cn=Ref:uid\\3Dbob" }, CopyObjectLink,
            errorBox("Object Link already exists") },
        // The case before opened ou=Groups.
        { "a link of a node that shows children", true, { "ou=Groups" }, CopyObjectLink,
            plainBox("Copy Object link failed. This operation is allowed only on leaf node", "Error",
                MessageIcon::Information) },
        { "no link to paste", true, { "ou=Groups" }, PasteObjectLink, errorBox("No Object link selected to paste") },
        { "delete without a bind", false, { "ou=Groups" }, DeleteObject,
            errorBox("Access denied. Please set the ACI attributes in the LDAP Server", "ACI Error") },
        { "cut without a bind", false, { "ou=Groups" }, Cut,
            errorBox("Access denied Please set the ACI Attributes in the LDAP Server") },
        { "copy without a bind", false, { "ou=Groups" }, Copy, errorBox(aci, "ACI Error") },
        { "paste without a bind", false, { "ou=Groups" }, Paste,
            errorBox("Access denied.Please set the ACI Attributes in the LDAP Server", "ACI Error") },
        { "link without a bind", false, { "ou=Groups" }, CopyObjectLink, errorBox("Access denied") },
        { "link paste without a bind", false, { "ou=Groups" }, PasteObjectLink,
            errorBox("Cannot Paste Refer the Object.Access denied") },
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        at(c.path);
        state.flags.loggedIn = c.loggedIn;
        const Command& command = FindCommand(c.command);
        command.run(context);
        EXPECT_EQ(desktop.boxes, Boxes { c.box });
        EXPECT_FALSE(state.clipboard.cutPending || state.clipboard.copyPending || state.clipboard.linkCopied);
        state.flags.loggedIn = true;
    }
    EXPECT_TRUE(onServer(kBase));

    // A drag is refused for the root, a container and an entry a link names.
    for (const Strings& path : { Strings {}, Strings { "ou=Groups" }, Strings { "ou=Alumni", "uid=bob" } }) {
        TreeNode* node = at(path);
        EXPECT_FALSE(BeginDrag(context, *node));
        EXPECT_EQ(desktop.boxes,
            Boxes { path.size() == 2
                    ? errorBox("Operation not allowed.Object link exists for the selected object", kAppTitle)
                    : errorBox("Select leaf Object to be dragged") });
    }
}

} // namespace
} // namespace entries
