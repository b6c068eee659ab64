// Commands on the selected node: Refresh Node, Count No of Entries, and the
// insertion of one new node after an entry was created or moved.
#include "browser/tree/TreeSteps.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/SearchOutcome.h"
#include "browser/ViewState.h"
#include "browser/properties/EntryProperties.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"

#include <strings.h>

void RefreshNode(AppContext& context)
{
    ViewState& state = context.state;
    Desktop& desktop = context.desktop;
    TreeNode* node = state.tree.selected();
    if (!node) {
        desktop.error("Please Select an item for Refresh", "Error");
        return;
    }
    const std::string dn = BuildFullDn(*node);
    if (dn.empty()) {
        desktop.error("Invalid Base DN", "Error");
        return;
    }
    if (strcasecmp(dn.c_str(), state.connection.baseDn.c_str()) == 0)
        state.loadedDns.clear();

    desktop.setStatusText("Reading data from SERVER");
    if (!ChildrenArrived(context, FetchChildList(context, dn)))
        return;
    PagingState& paging = state.paging;
    bool failed = false;
    ChildList children = TakeAllChildren(context, failed);
    if (failed)
        return;
    paging.childCount = static_cast<int>(children.size());
    paging.countKnown = true;
    StartProgress(desktop, paging.childCount);
    state.tree.removeChildren(node);
    AppendChildren(context, *node, children);
    // Every child is shown: nothing is left for Show Next.
    paging.pageOffset = paging.childCount;
    paging.noMoreEntries = true;
    state.selection.hasChildren = !children.empty();

    // An entry gone from the server takes its node, and the selection, along.
    if (!ShowEntryProperties(context))
        return;
    if (TreeNode* selected = state.tree.selected())
        state.tree.setExpanded(selected, true);
    RestStatus(context, kAppTitle);
}

void CountEntries(AppContext& context)
{
    Desktop& desktop = context.desktop;
    TreeNode* node = context.state.tree.selected();
    if (!node)
        return;
    const std::string dn = BuildFullDn(*node);
    desktop.setStatusText("Please Wait Counting Entries in Progress");
    int count = 0;
    const int32_t found = CountSubtree(context, dn, &count);
    if (!CutShort(found) && !CallSucceeded(context, found))
        return;
    desktop.setStatusText(kAppTitle);
    if (CutShort(found))
        desktop.inform("Selected DN: " + dn + " has at least " + std::to_string(count)
                + " entries in the Server. The server stopped counting there (" + LimitText(found) + ").",
            "Entry count", MessageIcon::Warning);
    else if (count > 0)
        desktop.inform("Selected DN: " + dn + " has " + std::to_string(count) + " entries in the Server ",
            "Entry count", MessageIcon::Information);
    else
        desktop.error("Unable to count number of entries.Insufficient Access Rights", "Error");
}

TreeNode* InsertChildNode(AppContext& context, TreeNode& target, std::string& labelText)
{
    if (labelText.empty())
        return nullptr;
    DirectoryTree& tree = context.state.tree;
    bool isBase = strcasecmp(target.label.c_str(), context.state.connection.baseDn.c_str()) == 0;
    tree.setImage(&target, isBase ? NodeImage::Root : NodeImage::Container);
    TreeNode* added = tree.insertSorted(&target, labelText, NodeImage::Leaf);
    tree.setExpanded(&target, true);
    labelText.clear();
    return added;
}
