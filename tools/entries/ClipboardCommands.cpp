// Cut, Copy and Paste of leaf entries, and Copy and Paste Object Link.
#include "tools/entries/EntryCommands.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"
#include "tools/create/NewEntry.h"
#include "tools/entries/DnMatch.h"
#include "tools/entries/EntrySteps.h"

namespace {

constexpr const char* kLinkPrefix = "cn=Ref:";

// The selected node, or null after saying that one is needed.
TreeNode* selectedNode(AppContext& context)
{
    TreeNode* node = context.state.tree.selected();
    if (!node)
        context.desktop.error("Please select an Item", "Error");
    return node;
}

// The selected node when it is a leaf on the server, else null after
// saying so (or after a failure was reported).
TreeNode* selectedLeaf(AppContext& context)
{
    TreeNode* node = selectedNode(context);
    if (!node)
        return nullptr;
    std::optional<bool> children = HasChildren(context, BuildFullDn(*node));
    if (!children)
        return nullptr;
    if (*children) {
        context.desktop.error("Please select leaf object", "Error");
        return nullptr;
    }
    return node;
}

void hold(ClipboardState& clipboard, const TreeNode& node, bool cut)
{
    clipboard.cutPending = cut;
    clipboard.copyPending = !cut;
    clipboard.sourceDn = BuildFullDn(node);
    clipboard.sourceLabel = node.label;
}

} // namespace

void CopyCommand(AppContext& context)
{
    ViewState& state = context.state;
    if (!state.flags.loggedIn) {
        context.desktop.error("Access denied.Please set the ACI attributes in the LDAP Server", "ACI Error");
        return;
    }
    state.clipboard.cutPending = false;
    context.desktop.setStatusText("Copy in Progress");
    if (TreeNode* leaf = selectedLeaf(context))
        hold(state.clipboard, *leaf, false);
    context.desktop.setStatusText(kAppTitle);
}

void CutCommand(AppContext& context)
{
    ViewState& state = context.state;
    if (!state.flags.loggedIn) {
        context.desktop.error("Access denied Please set the ACI Attributes in the LDAP Server", "Error");
        return;
    }
    state.clipboard.copyPending = false;
    context.desktop.setStatusText("Cut in Progress");
    // A move would leave the links naming nothing.
    TreeNode* node = selectedNode(context);
    std::optional<std::vector<ObjectLink>> links;
    if (node && (links = FindObjectLinks(context))) {
        if (!LinksNaming(*links, { DnKey(BuildFullDn(*node)) }).empty())
            context.desktop.error("Operation Terminated. Link of this Object found", "Error");
        else if (TreeNode* leaf = selectedLeaf(context))
            hold(state.clipboard, *leaf, true);
    }
    context.desktop.setStatusText(kAppTitle);
}

void PasteCommand(AppContext& context)
{
    ViewState& state = context.state;
    ClipboardState& clipboard = state.clipboard;
    Desktop& desktop = context.desktop;
    if (!state.flags.loggedIn) {
        desktop.error("Access denied.Please set the ACI Attributes in the LDAP Server", "ACI Error");
        clipboard.cutPending = clipboard.copyPending = false;
        return;
    }
    desktop.setStatusText("Paste in Progress");
    if (!clipboard.cutPending && !clipboard.copyPending) {
        desktop.error("Please Cut or Copy an Item to Be Pasted", "Error");
        desktop.setStatusText(kAppTitle);
        return;
    }
    TreeNode* target = selectedNode(context);
    // Onto its own source a paste has nothing to do, nor a move onto the
    // place the entry is at; the clipboard stays.
    if (!target || SameDn(BuildFullDn(*target), clipboard.sourceDn)
        || (clipboard.cutPending && SameDn(BuildFullDn(*target), SuperiorDn(clipboard.sourceDn)))) {
        desktop.setStatusText(kAppTitle);
        return;
    }
    const bool move = clipboard.cutPending;
    const std::string sourceDn = clipboard.sourceDn;
    // One paste per cut or copy, whether it succeeds or not.
    clipboard.cutPending = clipboard.copyPending = false;
    const std::string destinationDn = BuildFullDn(*target);
    const int32_t pasted
        = move ? MoveEntry(context, sourceDn, destinationDn) : CopyEntry(context, sourceDn, destinationDn);
    if (pasted == 0)
        ShowPlaced(context, *target, sourceDn, move);
    if (pasted >= 0)
        desktop.setStatusText(kAppTitle);
}

void CopyObjectLinkCommand(AppContext& context)
{
    ViewState& state = context.state;
    Desktop& desktop = context.desktop;
    if (!state.flags.loggedIn) {
        desktop.error("Access denied", "Error");
        return;
    }
    desktop.setStatusText("Copy Link in Progress");
    if (TreeNode* node = selectedNode(context)) {
        if (node->label.starts_with(kLinkPrefix)) {
            desktop.error("Object Link already exists", "Error");
        } else if (!node->children.empty()) {
            desktop.inform("Copy Object link failed. This operation is allowed only on leaf node", "Error",
                MessageIcon::Information);
        } else {
            state.clipboard.linkCopied = true;
            state.clipboard.linkSourceDn = BuildFullDn(*node);
            state.clipboard.linkSourceLabel = node->label;
        }
    }
    desktop.setStatusText(kAppTitle);
}

void PasteObjectLinkCommand(AppContext& context)
{
    ViewState& state = context.state;
    ClipboardState& clipboard = state.clipboard;
    Desktop& desktop = context.desktop;
    if (!state.flags.loggedIn) {
        desktop.error("Cannot Paste Refer the Object.Access denied", "Error");
        return;
    }
    desktop.setStatusText("Paste Link in Progress");
    if (!clipboard.linkCopied) {
        desktop.error("No Object link selected to paste", "Error");
        desktop.setStatusText(kAppTitle);
        return;
    }
    clipboard.linkCopied = false;
    TreeNode* target = selectedNode(context);
    if (!target)
        return;

    // cn=Ref:<label>, the value escaped as an RDN needs it.
    const std::string name = "Ref:" + clipboard.linkSourceLabel;
    NewEntry link("cn", name, BuildFullDn(*target));
    link.attribute("cn", { name })
        .attribute("OrnAttrObjectLink", { clipboard.linkSourceDn })
        .attribute("objectclass", { "OrnObjectLink" });
    const int32_t added = link.add(context);
    if (added > 0) {
        ReportToGeneralLog(context, OrnLdapService::LdapErrorToString(added));
        desktop.error("Feature not enabled or Insufficient rights.Please refer to Copy/Paste Object Link section in "
                      "chapter 8 of help file.",
            "Error");
    } else if (added < 0) {
        CallSucceeded(context, added);
        return;
    } else {
        state.loadedDns.push_back(link.dn());
        std::string label = link.rdn();
        InsertChildNode(context, *target, label);
    }
    desktop.setStatusText(kAppTitle);
}
