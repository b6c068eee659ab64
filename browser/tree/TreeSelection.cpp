// Following the tree's selection: the selection state other commands read,
// the entry's attributes, and the one-level search Show Next pages through.
#include "browser/tree/TreeSteps.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/SearchOutcome.h"
#include "browser/ViewState.h"
#include "browser/properties/EntryProperties.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnCodes.h"

#include <strings.h>

namespace {

bool sameDn(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

void RecordSelection(AppContext& context, const TreeNode& node)
{
    ViewState& state = context.state;
    SelectionState& selection = state.selection;
    const std::string& baseDn = state.connection.baseDn;
    selection.label = node.label;
    selection.fullDn = BuildFullDn(node);
    selection.parentLabel = node.parent ? node.parent->label : std::string();
    selection.rootLabel = state.tree.root() ? state.tree.root()->label : std::string();
    if (sameDn(selection.label, baseDn))
        selection.level = 2;
    else
        selection.level = sameDn(selection.parentLabel, baseDn) ? 1 : 0;
}

void SelectNode(AppContext& context, TreeNode* node)
{
    if (context.state.tree.selected() == node)
        return;
    context.state.tree.select(node);
    OnSelectionChanged(context);
}

void OnSelectionChanged(AppContext& context)
{
    ViewState& state = context.state;
    Desktop& desktop = context.desktop;
    if (state.flags.treeTeardown)
        return;
    desktop.setStatusText("Displaying Properties of the Selected Object");
    TreeNode* node = state.tree.selected();
    if (state.flags.connectionLost || !node)
        return;
    RecordSelection(context, *node);
    state.selection.isLink = node->label.starts_with("cn=Ref:");
    state.editing.followLink = false;
    state.editing.keepDn = false;

    TreeNode* parent = node->parent;
    if (!ShowEntryProperties(context) || state.tree.empty())
        return;
    // The entry was gone from the server, and its node from the tree with it.
    node = state.tree.selected();
    if (!node) {
        if (parent)
            SelectNode(context, parent);
        return;
    }

    desktop.setStatusText("Node Selected: " + state.selection.fullDn);
    // Only the children's number is taken here, for Show Next: a limit that
    // cut the list short is told when the children are shown.
    const int32_t found = FetchChildList(context, state.selection.fullDn);
    if (!CutShort(found) && !CallSucceeded(context, found)) {
        if (found != ORN_SEARCH_CANCELLED)
            desktop.setStatusText(kAppTitle);
        return;
    }
    PagingState& paging = state.paging;
    int count = paging.childCount;
    int shown = static_cast<int>(node->children.size());
    state.selection.hasChildren = count > 0;
    StartProgress(desktop, count);
    paging.pageOffset = shown;
    paging.firstNext = true;
    paging.noMoreEntries = shown == 0 || AllShown(context, shown);
}
