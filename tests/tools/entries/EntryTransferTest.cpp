// Copy, move and link against slapd: a copy value for value and byte for
// byte; a move by Cut and Paste and by a drop that keeps what the user may
// not read; object links pasted and followed; the clipboard's life.
#include "tests/tools/entries/EntriesFixture.h"

#include "browser/properties/EntryProperties.h"
#include "browser/session/Logout.h"

namespace entries {
namespace {

class EntryTransfer : public EntriesTest { };

const std::string kStudio = "ou=Studio," + kBase;

TEST_F(EntryTransfer, ACopyHoldsEveryValueByteForByte)
{
    start();
    const std::string source = "uid=dora," + kStudio;
    at({ "ou=Studio", "uid=dora" });
    CopyCommand(context);
    EXPECT_TRUE(state.clipboard.copyPending);
    EXPECT_EQ(desktop.statusTexts, (Strings { "Copy in Progress", kAppTitle }));

    // Onto itself: nothing, and the copy is still held.
    PasteCommand(context);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_TRUE(state.clipboard.copyPending);

    // Onto its own parent: the server's answer, logged; the paste is used up.
    at({ "ou=Studio" });
    PasteCommand(context);
    EXPECT_EQ(desktop.boxes, Boxes { errorBox(" Entry Already Exists", kAppTitle) });
    EXPECT_EQ(read("Generror.err"), "12/05/26$16:01:02$ServerIp 127.0.0.1  Entry Already Exists\n");
    EXPECT_FALSE(state.clipboard.copyPending);

    at({ "ou=Studio", "uid=dora" });
    CopyCommand(context);
    TreeNode* groups = at({ "ou=Groups" });
    PasteCommand(context);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    const std::string copy = "uid=dora,ou=Groups," + kBase;
    const std::string ldif = server().ldapsearchEntry(source);
    EXPECT_EQ(server().ldapsearchEntry(copy), ldif);
    for (const char* line :
        { "objectClass: organizationalPerson\n", "description:: ICAg\n", "mail:\n", "jpegPhoto:: " })
        EXPECT_NE(ldif.find(line), std::string::npos) << line;
    EXPECT_EQ(values(copy, "jpegPhoto").front().size(), 196u);
    EXPECT_NE(values(copy, "entryUUID"), values(source, "entryUUID")) << "a copy is a new entry";
    EXPECT_NE(find(groups, "uid=dora"), nullptr);
    EXPECT_EQ(state.loadedDns.back(), copy);
    EXPECT_TRUE(onServer(source));

    // An empty description, sent as it is: slapd's answer is shown.
    at({ "ou=Studio", "uid=emma" });
    CopyCommand(context);
    at({ "ou=Groups" });
    PasteCommand(context);
    EXPECT_EQ(desktop.boxes, Boxes { errorBox("Invalid Attribute Syntax", kAppTitle) });
    EXPECT_FALSE(onServer("uid=emma,ou=Groups," + kBase));
}

TEST_F(EntryTransfer, AMoveKeepsWhatTheUserCannotRead)
{
    const std::string desk = "ou=Desk," + kBase, shelf = "ou=Shelf," + kBase;
    const Strings erinUuid = values("uid=erin," + desk, "entryUUID");
    const Strings finnUuid = values("uid=finn," + desk, "entryUUID");
    start(true);

    // The mover reads no password: a copy would leave it behind.
    at({ "ou=Desk", "uid=erin" });
    EXPECT_EQ(rowOfAttribute("userPassword"), -1);

    // Onto the place it is at, a move has nothing to do; the cut stays held.
    CutCommand(context);
    EXPECT_TRUE(state.clipboard.cutPending);
    at({ "ou=Desk" });
    PasteCommand(context);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_TRUE(state.clipboard.cutPending);

    TreeNode* shelfNode = at({ "ou=Shelf" });
    PasteCommand(context);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_FALSE(onServer("uid=erin," + desk));
    EXPECT_EQ(values("uid=erin," + shelf, "userPassword"), Strings { "erin-pw" });
    EXPECT_EQ(values("uid=erin," + shelf, "entryUUID"), erinUuid);
    EXPECT_EQ(find(shown({ "ou=Desk" }), "uid=erin"), nullptr);
    EXPECT_NE(find(shelfNode, "uid=erin"), nullptr);

    // A drop: refused on the node itself and on its parent.
    TreeNode* finn = at({ "ou=Desk", "uid=finn" });
    EXPECT_FALSE(DropAllowed(*finn, finn));
    EXPECT_FALSE(DropAllowed(*finn, finn->parent));
    EXPECT_TRUE(DropAllowed(*finn, shelfNode));
    ASSERT_TRUE(BeginDrag(context, *finn));
    Drop(context, *finn, *shelfNode);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_EQ(values("uid=finn," + shelf, "userPassword"), Strings { "finn-pw" });
    EXPECT_EQ(values("uid=finn," + shelf, "entryUUID"), finnUuid);
    TreeNode* deskNode = shown({ "ou=Desk" });
    EXPECT_TRUE(deskNode->children.empty());
    EXPECT_EQ(deskNode->image, NodeImage::Leaf) << "its last child went";
    EXPECT_EQ(state.tree.selected(), find(shelfNode, "uid=finn")) << "the moved node stays selected";
    EXPECT_EQ(state.selection.fullDn, "uid=finn," + shelf);

    // What a copy by this user would have lost.
    CopyCommand(context);
    at({ "ou=Desk" });
    PasteCommand(context);
    EXPECT_TRUE(onServer("uid=finn," + desk));
    EXPECT_TRUE(values("uid=finn," + desk, "userPassword").empty());
}

TEST_F(EntryTransfer, AnObjectLinkIsPastedAndFollowed)
{
    start();
    at({ "ou=People", "uid=alice" });
    CopyObjectLinkCommand(context);
    EXPECT_TRUE(state.clipboard.linkCopied);
    TreeNode* studio = at({ "ou=Studio" });
    PasteObjectLinkCommand(context);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_FALSE(state.clipboard.linkCopied) << "one paste per copy";
    const std::string link = "cn=Ref:uid=alice," + kStudio;
    EXPECT_EQ(values(link, "OrnAttrObjectLink"), Strings { "uid=alice,ou=People," + kBase });
    EXPECT_EQ(values(link, "cn"), Strings { "Ref:uid=alice" });
    ASSERT_NE(find(studio, "cn=Ref:uid=alice"), nullptr);

    at({ "ou=Studio", "cn=Ref:uid=alice" });
    EXPECT_TRUE(state.selection.isLink);
    ViewOriginalProperties(context);
    EXPECT_EQ(valueOfAttribute("uid"), "alice");
    EXPECT_EQ(valueOfAttribute("mail"), "alice@example.com");
}

TEST_F(EntryTransfer, RefreshTreeAndLogoutEmptyTheClipboard)
{
    for (bool logout : { false, true }) {
        start();
        at({ "ou=People", "uid=alice" });
        CopyCommand(context);
        CopyObjectLinkCommand(context);
        ASSERT_TRUE(state.clipboard.copyPending && state.clipboard.linkCopied);
        if (logout) {
            state.flags.connectionLost = true;
            Logout(context);
        } else {
            RefreshTree(context);
        }
        EXPECT_FALSE(state.clipboard.copyPending || state.clipboard.linkCopied) << (logout ? "logout" : "refresh");
        EXPECT_EQ(state.clipboard.sourceDn, "");
        service.DestroyAll();
    }
}

} // namespace
} // namespace entries
