// Moving a leaf entry by dragging its node onto another node of the tree.
#include "tools/entries/EntryCommands.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "tools/entries/DnMatch.h"
#include "tools/entries/EntrySteps.h"

namespace {

constexpr const char* kSelectLeaf = "Select leaf Object to be dragged";

} // namespace

bool BeginDrag(AppContext& context, TreeNode& node)
{
    Desktop& desktop = context.desktop;
    if (&node == context.state.tree.root()) {
        desktop.error(kSelectLeaf, "Error");
        return false;
    }
    const std::string dn = BuildFullDn(node);
    std::optional<std::vector<ObjectLink>> links = FindObjectLinks(context);
    if (!links)
        return false;
    if (!LinksNaming(*links, { DnKey(dn) }).empty()) {
        desktop.error("Operation not allowed.Object link exists for the selected object");
        return false;
    }
    std::optional<bool> children = HasChildren(context, dn);
    if (children.value_or(true)) {
        if (children)
            desktop.error(kSelectLeaf, "Error");
        return false;
    }
    return true;
}

bool DropAllowed(const TreeNode& source, const TreeNode* target)
{
    return target && target != &source && target != source.parent;
}

void Drop(AppContext& context, TreeNode& source, TreeNode& target)
{
    if (!DropAllowed(source, &target))
        return;
    ViewState& state = context.state;
    const std::string sourceDn = BuildFullDn(source);
    // The server may have changed since the drag began.
    std::optional<bool> children = HasChildren(context, sourceDn);
    if (children.value_or(true)) {
        if (children)
            context.desktop.error("Please select a leaf Object", "Error");
        return;
    }
    state.clipboard.cutPending = state.clipboard.copyPending = false;
    const bool wasSelected = state.tree.selected() == &source;
    if (MoveEntry(context, sourceDn, BuildFullDn(target)) != 0)
        return;
    TreeNode* moved = ShowPlaced(context, target, sourceDn, true);
    if (wasSelected && moved)
        SelectNode(context, moved);
}
