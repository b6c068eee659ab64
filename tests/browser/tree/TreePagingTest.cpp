// Loading the tree and paging through a node's children against slapd: the
// first page on a double-click, Show Next until every child is shown, the
// toggle of a node that already shows children, and Refresh Node.
#include "tests/browser/tree/TreeFixture.h"

#include "browser/session/ServerInfo.h"
#include "tests/support/TraceCapture.h"

#include <algorithm>
#include <set>

namespace {

Box firstPageNotice(int pageSize)
{
    std::string size = std::to_string(pageSize);
    return plainBox(" The first " + size + " entries will be displayed. To view the next " + size
            + " entries use the Show Next button on the toolbar.",
        "Information", MessageIcon::Information);
}

// The progress bar through one batch: its range, a step per inserted node, the final position.
Strings batchProgress(int childCount, int inserted, bool withRange = true)
{
    Strings calls;
    if (withRange)
        calls = { "range 0 " + std::to_string(childCount), "step 1" };
    calls.insert(calls.end(), static_cast<std::size_t>(inserted), "step it");
    calls.push_back("position " + std::to_string(childCount));
    return calls;
}

} // namespace

class TreePagingTest : public TreeTest { };

TEST_F(TreePagingTest, LoadTreeShowsTheRootAndItsFirstPage)
{
    logIn();
    LoadTree(context);

    ASSERT_NE(root(), nullptr);
    EXPECT_EQ(root()->label, kBase);
    EXPECT_EQ(root()->image, NodeImage::Root);
    EXPECT_TRUE(root()->expanded);
    EXPECT_EQ(labels(root()), kRootChildren);
    for (const auto& node : root()->children)
        EXPECT_EQ(node->image, NodeImage::Container);
    EXPECT_EQ(state.tree.selected(), nullptr);
    EXPECT_EQ(state.loadedDns.front(), kBase);
    EXPECT_EQ(state.loadedDns.back(), "ou=Paging," + kBase);
    EXPECT_EQ(state.loadedDns.size(), 5u);
    EXPECT_TRUE(state.paging.rootInserted && state.paging.noMoreEntries);
    EXPECT_FALSE(state.attributeTypes.empty());

    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(
        desktop.statusTexts, Strings({ "Reading data from SERVER", "Velmora LDAP Browser", "Velmora Ldap Browser" }));
    Strings progress = batchProgress(4, 4);
    progress.push_back("position 0");
    EXPECT_EQ(desktop.progress, progress);
}

TEST_F(TreePagingTest, ShowNextPagesThroughTheHeldResult)
{
    struct Case {
        const char* node;
        int pageSize;
        std::vector<int> shownAfterEachStep; // the double-click, then each Show Next
        bool notice;
    };
    const Case cases[] = {
        { "ou=Paging", 10, { 10, 20, 25 }, true },
        { "ou=Ten", 10, { 10 }, true }, // exactly a page: Show Next is disabled once it is shown
        { "ou=Few", 10, { 3 }, false },
        { "ou=Paging", 25, { 25 }, true },
        { "ou=Paging", 7, { 7, 14, 21, 25 }, true },
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(std::string(row.node) + " page size " + std::to_string(row.pageSize));
        browse(row.pageSize);
        TreeNode* node = child(root(), row.node);
        doubleClick(node);
        EXPECT_EQ(desktop.boxes, row.notice ? Boxes({ firstPageNotice(row.pageSize) }) : Boxes());
        EXPECT_TRUE(node->expanded);

        for (std::size_t step = 0; step < row.shownAfterEachStep.size(); ++step) {
            if (step > 0)
                ShowNext(context);
            EXPECT_EQ(node->children.size(), static_cast<std::size_t>(row.shownAfterEachStep[step])) << step;
            EXPECT_EQ(state.paging.noMoreEntries, step + 1 == row.shownAfterEachStep.size()) << step;
        }
        // Every child once.
        Strings shown = labels(node);
        EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size());
        ShowNext(context);
        EXPECT_EQ(node->children.size(), static_cast<std::size_t>(row.shownAfterEachStep.back()));
        EXPECT_EQ(desktop.boxes.size(), row.notice ? 1u : 0u);
        service.DestroyAll();
    }
}

TEST_F(TreePagingTest, ExpandingShowsProgressOnceForOneSearch)
{
    browse();
    TreeNode* paging = child(root(), "ou=Paging");
    SelectNode(context, paging);
    forgetDesktop();
    ExpandNode(context);

    EXPECT_EQ(desktop.statusTexts,
        Strings({ "Fetching data from SERVER", "Reading data from SERVER", "Velmora LDAP Browser",
            "Velmora LDAP Browser" }));
    // The children as far as known: the first page.
    Strings progress = batchProgress(10, 10);
    progress.push_back("position 0");
    EXPECT_EQ(desktop.progress, progress);
    EXPECT_EQ(state.selection.expandingDn, "ou=Paging," + kBase);
    EXPECT_EQ(state.loadedDns.back(), "cn=p10,ou=Paging," + kBase);

    desktop.progress.clear();
    ShowNext(context);
    progress = batchProgress(20, 10, false);
    progress.insert(progress.end(), { "position 20", "position 0" });
    EXPECT_EQ(desktop.progress, progress);
    EXPECT_EQ(state.loadedDns.back(), "cn=p20,ou=Paging," + kBase);
}

TEST_F(TreePagingTest, ShowNextAfterReselectingSkipsWhatTheNodeShows)
{
    browse();
    TreeNode* paging = child(root(), "ou=Paging");
    doubleClick(paging);
    SelectNode(context, child(root(), "ou=Ten"));
    SelectNode(context, paging);
    EXPECT_FALSE(state.paging.noMoreEntries);
    EXPECT_EQ(state.paging.pageOffset, 10);

    ShowNext(context);
    EXPECT_EQ(paging->children.at(10)->label, "cn=p11");
    EXPECT_EQ(paging->children.back()->label, "cn=p20");
    ShowNext(context);
    EXPECT_EQ(paging->children.back()->label, "cn=p25");
    EXPECT_TRUE(state.paging.noMoreEntries);
}

TEST_F(TreePagingTest, DoubleClickOnANodeShowingChildrenTogglesIt)
{
    browse();
    TreeNode* paging = child(root(), "ou=Paging");
    doubleClick(paging);
    ASSERT_EQ(paging->children.size(), 10u);
    forgetDesktop();

    ExpandNode(context);
    EXPECT_FALSE(paging->expanded);
    EXPECT_FALSE(state.paging.noMoreEntries);
    ExpandNode(context);
    EXPECT_TRUE(paging->expanded);
    EXPECT_EQ(paging->children.size(), 10u);
    EXPECT_TRUE(desktop.boxes.empty());

    // Once every child is shown, the toggle leaves Show Next disabled.
    ShowNext(context);
    ShowNext(context);
    ExpandNode(context);
    EXPECT_FALSE(paging->expanded);
    EXPECT_TRUE(state.paging.noMoreEntries);
    EXPECT_EQ(paging->children.size(), 25u);
}

// slapd answers hasSubordinates: each node tells before it is opened.
TEST_F(TreePagingTest, ChildrenShowWhetherTheyHaveChildrenBeforeTheyAreOpened)
{
    struct Case {
        std::vector<std::string> path; // labels below the root
        bool hasChildren;
        NodeImage image;
    };
    // What each node was listed with, ou=Deep's kept once it is opened.
    const Case cases[] = {
        { { "ou=Paging" }, true, NodeImage::Container },
        { { "ou=Few", "ou=Deep" }, true, NodeImage::Container },
        { { "ou=Few", kSmithLabel }, false, NodeImage::Leaf },
        { { "ou=Few", kLinkLabel }, false, NodeImage::Leaf },
        { { "ou=Few", "ou=Deep", "cn=leaf" }, false, NodeImage::Leaf },
    };
    browse();
    doubleClick(child(root(), "ou=Few"));
    doubleClick(child(child(root(), "ou=Few"), "ou=Deep"));
    // Only what the tree needs came back.
    EXPECT_TRUE(AttributeValues(state.generalResult.get(), "objectClass").empty());
    for (const Case& row : cases) {
        SCOPED_TRACE(row.path.back());
        TreeNode* node = root();
        for (const std::string& label : row.path)
            node = child(node, label);
        EXPECT_EQ(node->serverSaysChildren, row.hasChildren);
        EXPECT_EQ(node->image, row.image);
    }
}

TEST_F(TreePagingTest, DoubleClickOnANodeWithoutChildrenMakesItALeaf)
{
    browse();
    doubleClick(child(root(), "ou=Few"));
    TreeNode* deep = child(child(root(), "ou=Few"), "ou=Deep");
    doubleClick(deep);
    TreeNode* leaf = child(deep, "cn=leaf");
    // As if the server had said so before its children went.
    state.tree.setServerSaysChildren(leaf, true);
    state.tree.setImage(leaf, NodeImage::Container);
    doubleClick(leaf);

    EXPECT_EQ(leaf->image, NodeImage::Leaf);
    EXPECT_EQ(leaf->serverSaysChildren, false);
    EXPECT_FALSE(state.selection.hasChildren);
    EXPECT_TRUE(state.paging.noMoreEntries);
    EXPECT_EQ(deep->image, NodeImage::Container);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(TreePagingTest, RefreshNodeShowsEveryChildWhateverThePageSize)
{
    browse();
    TreeNode* paging = child(root(), "ou=Paging");
    doubleClick(paging);
    forgetDesktop();

    RefreshNode(context);
    EXPECT_EQ(paging->children.size(), 25u);
    EXPECT_EQ(paging->children.back()->label, "cn=p25");
    EXPECT_TRUE(paging->expanded);
    EXPECT_TRUE(state.paging.noMoreEntries);
    EXPECT_EQ(state.paging.pageOffset, 25);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_FALSE(state.attributes.rows().empty());
    EXPECT_EQ(desktop.statusTexts.front(), "Reading data from SERVER");
    EXPECT_EQ(desktop.progress, batchProgress(25, 25));

    ShowNext(context);
    EXPECT_EQ(paging->children.size(), 25u);
}

TEST_F(TreePagingTest, RefreshOfTheRootOrTheTreeStartsAfresh)
{
    browse();
    doubleClick(child(root(), "ou=Ten"));
    SelectNode(context, root());
    RefreshNode(context);
    // The root's children again, the ten below ou=Ten gone with the old nodes.
    EXPECT_EQ(labels(root()), kRootChildren);
    EXPECT_TRUE(child(root(), "ou=Ten")->children.empty());
    EXPECT_EQ(state.loadedDns, Strings({ "ou=Big," + kBase, "ou=Few," + kBase, "ou=Ten," + kBase, "ou=Paging," + kBase }));

    doubleClick(child(root(), "ou=Paging"));
    RefreshTree(context);
    EXPECT_EQ(state.tree.selected(), nullptr);
    EXPECT_EQ(state.selection.fullDn, "");
    EXPECT_TRUE(child(root(), "ou=Paging")->children.empty());
    EXPECT_EQ(state.loadedDns.size(), 5u);
    EXPECT_FALSE(state.flags.treeTeardown);
}

// The click that selects a node and the double-click that expands it share
// one search of its children, unless the click's is some seconds old.
TEST_F(TreePagingTest, ClickAndDoubleClickShareOneSearch)
{
    // Later, the click's unfinished pages are abandoned and the expand starts afresh.
    for (const auto& [second, searches] : { std::pair { 5, 2 }, std::pair { 8, 4 } }) {
        browse();
        clock.set(2026, 12, 5, 16, 1, 2);
        const std::string trace = traceOf([&] {
            SelectNode(context, child(root(), "ou=Paging"));
            clock.set(2026, 12, 5, 16, 1, 2 + second);
            ExpandNode(context);
        });
        int sent = 0;
        for (std::size_t at = 0; (at = trace.find("OrnSearchSync: Function Start", at)) != std::string::npos; ++at)
            ++sent;
        // The entry's own search, and one or two of its children.
        EXPECT_EQ(sent, searches) << second;
        EXPECT_EQ(child(root(), "ou=Paging")->children.size(), 10u);
        service.DestroyAll();
    }
}

// 2,500 children by pages of 100 to the end, then Refresh Node and Count.
// A server that pages hands the tree a page at a time, so no more than a
// page is held; without the control the one search holds them all.
class BigNodeTest : public TreeTest {
protected:
    int held() { return std::max(0, service.OrnCountEntries(state.generalResult.get())); }

    void pageThroughTheBigNode(bool pages)
    {
        browse(100);
        EXPECT_EQ(state.serverPages, pages);
        TreeNode* big = child(root(), "ou=Big");
        doubleClick(big);
        EXPECT_EQ(desktop.boxes, Boxes({ firstPageNotice(100) }));
        const int most = pages ? 100 : kBigChildren;
        EXPECT_EQ(held(), most);
        int steps = 0;
        while (!state.paging.noMoreEntries && steps++ < 30) {
            ShowNext(context);
            EXPECT_LE(held(), most);
        }
        EXPECT_EQ(steps, 24);
        Strings shown = labels(big);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(kBigChildren));
        EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size());
        EXPECT_EQ(shown.back(), "cn=b12499");
        EXPECT_EQ(state.paging.childCount, kBigChildren);

        RefreshNode(context);
        EXPECT_EQ(big->children.size(), static_cast<std::size_t>(kBigChildren));
        forgetDesktop();
        CountEntries(context);
        EXPECT_EQ(desktop.boxes,
            Boxes({ plainBox("Selected DN: ou=Big," + kBase + " has 2501 entries in the Server ", "Entry count",
                MessageIcon::Information) }));
    }
};

TEST_F(BigNodeTest, ComesAPageAtATime)
{
    pageThroughTheBigNode(true);
}

// slapd that keeps supportedControl to itself: the tree takes the old way.
class BigNodeWithoutPagingTest : public BigNodeTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifText = treeLdif();
        options.frontendAccess = "access to dn.base=\"\" attrs=supportedControl\n    by * none\naccess to *\n    by * read\n";
        startServer(options);
    }
};

TEST_F(BigNodeWithoutPagingTest, ComesInOneSearch)
{
    pageThroughTheBigNode(false);
}

// Moving elsewhere leaves the big node's pages unfinished; coming back,
// Show Next goes on where the node stopped.
TEST_F(TreePagingTest, MovingElsewhereAndBackGoesOnWhereTheNodeStopped)
{
    browse(100);
    TreeNode* big = child(root(), "ou=Big");
    doubleClick(big);
    doubleClick(child(root(), "ou=Ten"));
    EXPECT_EQ(labels(child(root(), "ou=Ten")).size(), 10u);
    SelectNode(context, big);
    ShowNext(context);
    ASSERT_EQ(big->children.size(), 200u);
    EXPECT_EQ(big->children[100]->label, "cn=b10100");
    EXPECT_EQ(big->children.back()->label, "cn=b10199");
    CountEntries(context);
    ShowNext(context);
    EXPECT_EQ(big->children.back()->label, "cn=b10299");
}
