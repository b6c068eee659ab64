// Filling the tree: the root and its first page after a login or Refresh
// Tree, and the first page of a node on a double-click.
#include "browser/tree/TreeSteps.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/SearchOutcome.h"
#include "browser/ViewState.h"
#include "browser/properties/EntryProperties.h"
#include "browser/session/Logout.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"

namespace {

void endWithInvalidBaseDn(AppContext& context)
{
    context.state.flags.connectionLost = true;
    context.desktop.error("Invalid BaseDN", "Error");
    Logout(context);
}

} // namespace

void AppendChildren(AppContext& context, TreeNode& parent, const ChildList& children)
{
    for (const Child& child : children) {
        NodeImage image = child.hasChildren == false ? NodeImage::Leaf : NodeImage::Container;
        context.state.tree.append(&parent, DnToLabel(child.dn), image, child.hasChildren);
        context.desktop.stepProgress();
    }
    context.desktop.setProgressPosition(context.state.paging.childCount);
}

void InsertChildren(AppContext& context, const ChildList& children)
{
    ViewState& state = context.state;
    DirectoryTree& tree = state.tree;
    TreeNode* parent = tree.selected() ? tree.selected() : tree.root();
    if (!state.paging.rootInserted) {
        parent = tree.setRoot(state.connection.baseDn, NodeImage::Root);
        state.paging.rootInserted = true;
    }
    AppendChildren(context, *parent, children);
}

void LoadTree(AppContext& context)
{
    ViewState& state = context.state;
    // A logout on the way clears the connection.
    const std::string baseDn = state.connection.baseDn;
    state.paging.rootInserted = false;
    state.paging.pageOffset = 0;
    state.tree.clear();
    state.attributes.clear();
    state.selection = SelectionState {};
    state.loadedDns.assign(1, baseDn);
    state.flags.treeTeardown = false;

    context.desktop.setStatusText("Reading data from SERVER");
    const int32_t found = SearchChildren(context, baseDn);
    if (found == kNoSuchObject) {
        endWithInvalidBaseDn(context);
        return;
    }
    if (!ChildrenArrived(context, found))
        return;
    const bool cutShort = !state.paging.limitNotice.empty();
    InsertChildren(context, TakeFirstPage(context));
    if (!cutShort)
        context.desktop.setStatusText("Velmora Ldap Browser");
    state.tree.setExpanded(state.tree.root(), true);
    context.desktop.setProgressPosition(0);
    ReadAttributeTypes(context);
}

void RefreshTree(AppContext& context)
{
    ViewState& state = context.state;
    state.flags.treeTeardown = true;
    state.selection.hasChildren = true;
    state.generalResult.release();
    // What was cut or copied may be gone or elsewhere after the refresh.
    state.clipboard = ClipboardState {};
    LoadTree(context);
}

void ExpandNode(AppContext& context)
{
    ViewState& state = context.state;
    PagingState& paging = state.paging;
    Desktop& desktop = context.desktop;
    desktop.setStatusText("Fetching data from SERVER");
    TreeNode* node = state.tree.selected();
    if (!node) {
        desktop.error("Please select an item", "Error");
        desktop.setStatusText(kAppTitle);
        return;
    }
    int shown = static_cast<int>(node->children.size());
    paging.pageOffset = shown;
    paging.firstNext = true;
    RecordSelection(context, *node);
    const std::string dn = state.selection.fullDn;
    if (shown > 0 && paging.heldDn == dn) {
        // Its children are being paged already: the double-click only opens or closes it.
        state.tree.setExpanded(node, !node->expanded);
        RestStatus(context, kAppTitle);
        return;
    }

    // This one search both tells whether the node has children and serves
    // their first page; the click that selected the node may have made it.
    int32_t found = HeldChildrenFresh(context, dn) ? paging.heldCode : FetchChildList(context, dn);
    if (!ChildrenArrived(context, found)) {
        if (found > 0)
            desktop.setStatusText(kAppTitle);
        return;
    }
    int count = paging.childCount;
    state.selection.hasChildren = count > 0;
    if (count == 0) {
        // The server may have said otherwise before the children went, or
        // when it counts children the user may not read.
        state.tree.setServerSaysChildren(node, false);
        state.tree.setImage(node, NodeImage::Leaf);
        paging.noMoreEntries = true;
    } else if (shown == 0) {
        state.selection.expandingDn = dn;
        desktop.setStatusText("Reading data from SERVER");
        StartProgress(desktop, count);
        AppendChildren(context, *node, TakeFirstPage(context));
        state.tree.setExpanded(node, true);
        desktop.setProgressPosition(0);
    } else {
        state.tree.setExpanded(node, !node->expanded);
        paging.noMoreEntries = AllShown(context, shown);
        desktop.setProgressPosition(0);
    }
    RestStatus(context, kAppTitle);
}
