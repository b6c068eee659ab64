// The selection and the commands on a node against slapd: the selection
// state, counting, the insertion of a new node, an entry gone from the
// server, a base DN that does not exist, and a server lost mid-browse.
#include "tests/browser/tree/TreeFixture.h"

#include "browser/CommandReports.h"

#include <functional>
#include <string>
#include <vector>

class TreeCommandsTest : public TreeTest {
protected:
    // Shows ou=Few and ou=Deep below it.
    void openFew()
    {
        doubleClick(child(root(), "ou=Few"));
        doubleClick(child(child(root(), "ou=Few"), "ou=Deep"));
        forgetDesktop();
    }
    TreeNode* few() { return child(root(), "ou=Few"); }

    // Every tree command, run with ou=Few selected, what it waits for first,
    // and whether it empties the tree before that wait.
    struct CommandRow {
        const char* name;
        std::function<void(TreeCommandsTest&)> run;
        std::string firstWait;
        bool clearsTree = false;
    };
    static const std::vector<CommandRow>& commands()
    {
        static const std::vector<CommandRow> rows = {
            { "select", [](TreeCommandsTest& t) { SelectNode(t.context, t.child(t.root(), "ou=Ten")); },
                "Reading ou=Ten," + kBase },
            // Once another command has used the general slot, the click's search no longer serves.
            { "expand",
                [](TreeCommandsTest& t) {
                    t.state.generalResult.release();
                    ExpandNode(t.context);
                },
                "Reading the entries below ou=Few," + kBase },
            { "refresh node", [](TreeCommandsTest& t) { RefreshNode(t.context); },
                "Reading the entries below ou=Few," + kBase },
            { "count", [](TreeCommandsTest& t) { CountEntries(t.context); },
                "Counting the entries below ou=Few," + kBase },
            { "refresh tree", [](TreeCommandsTest& t) { RefreshTree(t.context); },
                "Reading the entries below " + kBase, true },
        };
        return rows;
    }
};

TEST_F(TreeCommandsTest, SelectionStateFollowsTheSelectedNode)
{
    struct Case {
        std::function<TreeNode*()> node;
        std::string fullDn;
        std::string parentLabel;
        int level;
        bool isLink;
        bool hasChildren;
    };
    const Case cases[] = {
        { [this] { return root(); }, kBase, "", 2, false, true },
        { [this] { return few(); }, "ou=Few," + kBase, kBase, 1, false, true },
        { [this] { return child(few(), "ou=Deep"); }, "ou=Deep,ou=Few," + kBase, "ou=Few", 0, false, true },
        { [this] { return child(few(), kSmithLabel); }, kSmithLabel + ",ou=Few," + kBase, "ou=Few", 0, false, false },
        { [this] { return child(few(), kLinkLabel); }, kLinkLabel + ",ou=Few," + kBase, "ou=Few", 0, true, false },
    };
    browse();
    openFew();
    for (const Case& row : cases) {
        SCOPED_TRACE(row.fullDn);
        TreeNode* node = row.node();
        SelectNode(context, node);
        const SelectionState& selection = state.selection;
        EXPECT_EQ(selection.label, node->label);
        EXPECT_EQ(selection.fullDn, row.fullDn);
        EXPECT_EQ(selection.parentLabel, row.parentLabel);
        EXPECT_EQ(selection.rootLabel, kBase);
        EXPECT_EQ(selection.level, row.level);
        EXPECT_EQ(selection.isLink, row.isLink);
        EXPECT_EQ(selection.hasChildren, row.hasChildren);
        // The rebuilt DN found the entry: its attributes are shown.
        EXPECT_FALSE(state.attributes.rows().empty());
        EXPECT_EQ(desktop.lastStatus(), "Node Selected: " + row.fullDn);
        EXPECT_EQ(state.paging.childCount, row.hasChildren ? static_cast<int>(node->children.size()) : 0);
    }
    EXPECT_TRUE(desktop.boxes.empty());

    // A node that shows no children yet keeps Show Next disabled until it is expanded.
    SelectNode(context, child(root(), "ou=Paging"));
    // The first page: at least 10, until the rest is read.
    EXPECT_EQ(state.paging.childCount, 10);
    EXPECT_FALSE(state.paging.countKnown);
    EXPECT_TRUE(state.paging.noMoreEntries);
    EXPECT_EQ(desktop.progress.back(), "step 1");
}

TEST_F(TreeCommandsTest, CountIncludesTheNodeItself)
{
    struct Case {
        std::function<TreeNode*()> node;
        std::string dn;
        int count;
    };
    const Case cases[] = {
        { [this] { return child(child(few(), "ou=Deep"), "cn=leaf"); }, "cn=leaf,ou=Deep,ou=Few," + kBase, 1 },
        { [this] { return few(); }, "ou=Few," + kBase, 5 },
        { [this] { return root(); }, kBase, kEntriesBelowBase },
    };
    browse();
    openFew();
    for (const Case& row : cases) {
        SelectNode(context, row.node());
        forgetDesktop();
        CountEntries(context);
        EXPECT_EQ(desktop.statusTexts, Strings({ "Please Wait Counting Entries in Progress", "Velmora LDAP Browser" }));
        EXPECT_EQ(desktop.boxes,
            Boxes(
                { { "Selected DN: " + row.dn + " has " + std::to_string(row.count) + " entries in the Server ",
                    "Entry count", MessageIcon::Information, MessageButtons::Ok } }));
    }
}

TEST_F(TreeCommandsTest, InsertedNodeTakesItsSortedPlaceWithoutSelectingIt)
{
    browse();
    openFew();
    TreeNode* deep = child(few(), "ou=Deep");
    TreeNode* leaf = child(deep, "cn=leaf");
    SelectNode(context, leaf);
    // A leaf that gets a child shows as a container again.
    state.tree.setImage(deep, NodeImage::Leaf);
    state.tree.setExpanded(deep, false);
    std::string text = "cn=Added";
    TreeNode* added = InsertChildNode(context, *deep, text);

    ASSERT_NE(added, nullptr);
    EXPECT_EQ(labels(deep), Strings({ "cn=Added", "cn=leaf" }));
    EXPECT_EQ(added->image, NodeImage::Leaf);
    EXPECT_EQ(deep->image, NodeImage::Container);
    EXPECT_TRUE(deep->expanded);
    EXPECT_EQ(text, "");
    EXPECT_EQ(state.tree.selected(), leaf);

    text = "ou=Middle";
    InsertChildNode(context, *root(), text);
    EXPECT_EQ(root()->image, NodeImage::Root);
    // Its place among the siblings as the server ordered them.
    EXPECT_EQ(labels(root()), Strings({ "ou=Big", "ou=Few", "ou=Middle", "ou=Ten", "ou=Paging" }));
    EXPECT_EQ(InsertChildNode(context, *root(), text), nullptr);
    EXPECT_EQ(root()->children.size(), 5u);
}

// A node whose entry is gone: selecting it gives way to its parent;
// expanding it, already selected, shows the server's answer.
TEST_F(TreeCommandsTest, NodeOfAnEntryGoneFromTheServer)
{
    browse();
    openFew();
    std::string text = "cn=Ghost";
    SelectNode(context, InsertChildNode(context, *few(), text));
    EXPECT_EQ(desktop.boxes, Boxes({ errorBox("Object does not exist. The object could have been deleted from server") }));
    EXPECT_EQ(labels(few()), Strings({ "ou=Deep", kSmithLabel, kLinkLabel }));
    EXPECT_EQ(state.tree.selected(), few());
    EXPECT_EQ(state.selection.fullDn, "ou=Few," + kBase);
    EXPECT_EQ(desktop.lastStatus(), "Node Selected: ou=Few," + kBase);
    EXPECT_EQ(state.paging.childCount, 3);
    EXPECT_TRUE(state.paging.noMoreEntries);

    forgetDesktop();
    text = "cn=Ghost";
    state.tree.select(InsertChildNode(context, *few(), text));
    ExpandNode(context);
    EXPECT_EQ(desktop.boxes, Boxes({ errorBox("No Such Objects", "Server Response") }));
    EXPECT_EQ(read("Generror.err"), "12/05/26$16:01:02$ServerIp 127.0.0.1 No Such Objects\n");
}

TEST_F(TreeCommandsTest, CommandsWithoutASelectionSayWhatIsMissing)
{
    browse();
    ExpandNode(context);
    RefreshNode(context);
    CountEntries(context);
    EXPECT_EQ(desktop.boxes,
        Boxes({ errorBox("Please select an item"), errorBox("Please Select an item for Refresh") }));
    EXPECT_EQ(labels(root()), kRootChildren);
}

// A list that a size limit cut short shows what arrived, and the status
// bar says that it is incomplete and why: never passed off as the whole
// list. Paging does not get past the limit.
TEST_F(TreeCommandsTest, AListCutShortByASizeLimitSaysSo)
{
    const std::string paging = "ou=Paging," + kBase;
    const std::string incomplete = "The server stopped after 20 entries (Size Limit Exceeded). The list is incomplete.";
    const Box firstPage { " The first 10 entries will be displayed. To view the next 10 entries use the Show Next "
                          "button on the toolbar.",
        "Information", MessageIcon::Information, MessageButtons::Ok };
    const Box count { "Selected DN: " + paging
            + " has at least 20 entries in the Server. The server stopped counting "
              "there (Size Limit Exceeded).",
        "Entry count", MessageIcon::Warning, MessageButtons::Ok };
    struct Case {
        const char* name;
        std::function<void()> command;
        Boxes boxes;
        size_t shown;
        std::string status;
        bool ofRoot = false; // else of the selected node
    };
    const Case cases[] = {
        { "expand and show next",
            [this] {
                doubleClick(child(root(), "ou=Paging"));
                ShowNext(context);
                ShowNext(context);
            },
            { firstPage }, 20, incomplete },
        { "refresh node", [this] { RefreshNode(context); }, {}, 20, incomplete },
        { "count", [this] { CountEntries(context); }, { count }, 20, kAppTitle },
        { "root",
            [&] {
                state.pageSize = 25;
                state.connection.baseDn = paging;
                RefreshTree(context);
            },
            {}, 20, incomplete, true },
    };
    browse();
    ASSERT_EQ(service.OrnBindSync("", "", kSimpleBind), 0); // the limit spares only the admin
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        forgetDesktop();
        c.command();
        EXPECT_EQ(desktop.boxes, c.boxes);
        TreeNode* node = c.ofRoot ? root() : state.tree.selected();
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->children.size(), c.shown);
        EXPECT_EQ(desktop.lastStatus(), c.status);
        EXPECT_TRUE(state.paging.noMoreEntries || c.name == std::string("count"));
    }
    EXPECT_EQ(read("Generror.err"), "<missing>");
}

TEST_F(TreeCommandsTest, BaseDnThatDoesNotExistEndsTheSession)
{
    logIn(10, "ou=Nowhere," + kBase);
    LoadTree(context);
    EXPECT_EQ(desktop.boxes, Boxes({ errorBox("Invalid BaseDN") }));
    EXPECT_EQ(read("Generror.err"), "<missing>");
    expectLoggedOut();
}

TEST_F(TreeCommandsTest, LostServerEndsTheSessionFromEveryCommand)
{
    for (const auto& [name, command, firstWait, clearsTree] : commands()) {
        SCOPED_TRACE(name);
        std::filesystem::remove("Generror.err");
        browse();
        SelectNode(context, few());
        server().stop();
        forgetDesktop();
        command(*this);

        EXPECT_EQ(desktop.boxes, Boxes({ errorBox(kConnectionTimedOut) }));
        EXPECT_EQ(
            read("Generror.err"), "12/05/26$16:01:02$ServerIp 127.0.0.1 Connection to the Server 127.0.0.1 lost\n");
        expectLoggedOut();
        // The status bar and its progress bar at rest, not still "Reading data from SERVER".
        ASSERT_FALSE(desktop.statusTexts.empty());
        EXPECT_EQ(desktop.statusTexts.back(), kAppTitle);
        ASSERT_FALSE(desktop.progress.empty());
        EXPECT_EQ(desktop.progress.back(), "position 0");
        server().restart();
    }
}

// A wait cancelled while the server hangs ends the command and keeps the
// session: the search is abandoned, the tree stays as it was, and the next
// command finds the server once it answers again.
TEST_F(TreeCommandsTest, ACancelledWaitKeepsTheSessionInEveryCommand)
{
    for (const auto& [name, command, firstWait, clearsTree] : commands()) {
        SCOPED_TRACE(name);
        browse();
        SelectNode(context, few());
        const Strings shownBefore = clearsTree ? Strings {} : labels(root());
        server().freeze();
        forgetDesktop();
        desktop.cancelWaitAt(2);
        command(*this);
        server().thaw();

        EXPECT_TRUE(desktop.boxes.empty());
        EXPECT_EQ(desktop.lastStatus(), "The search was cancelled.");
        ASSERT_FALSE(desktop.waitsFor.empty());
        EXPECT_EQ(desktop.waitsFor.front(), firstWait);
        EXPECT_TRUE(state.flags.loggedIn);
        EXPECT_FALSE(state.flags.connectionLost);
        EXPECT_EQ(state.tree.empty() ? Strings {} : labels(root()), shownBefore);
        EXPECT_EQ(searchBase(), 0);
        service.DestroyAll();
    }
}
