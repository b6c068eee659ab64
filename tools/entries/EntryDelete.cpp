// Delete Object: a leaf entry with the object links that name it, or a
// container with its whole subtree, deepest entries first.
#include "tools/entries/EntryCommands.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/Logout.h"
#include "browser/session/ServerWaits.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"
#include "tools/entries/DnMatch.h"
#include "tools/entries/EntrySteps.h"

#include <set>

namespace {

bool confirmed(Desktop& desktop, const char* text, const char* title)
{
    return desktop.messageBox({ text, title, MessageIcon::Question, MessageButtons::YesNo }) == MessageAnswer::Yes;
}

int32_t deleteEntry(AppContext& context, const std::string& dn)
{
    WaitingFor waiting(context, "Deleting " + dn);
    return context.service.OrnDeleteSync(dn.c_str());
}

std::string withoutEdgeBlanks(std::string text)
{
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The first refusal in a subtree: the server's answer and how far the
// delete came.
void reportStop(AppContext& context, int32_t code, const std::string& container, const std::string& refused,
    std::size_t deleted, std::size_t total)
{
    const std::string answer = withoutEdgeBlanks(OrnLdapService::LdapErrorToString(code));
    const std::string count = std::to_string(deleted) + " of the " + std::to_string(total) + " entries of " + container;
    context.desktop.error(answer + "\n\nThe server refused to delete " + refused + ". " + count
            + " had been deleted before it; the tree shows what is left.",
        "Server Response");
    ReportToGeneralLog(context, answer + " (" + refused + "): " + count + " deleted before it");
}

// After the node went: its parent is selected, with the parent's attributes.
void selectAfter(AppContext& context, TreeNode* parent)
{
    if (parent)
        SelectNode(context, parent);
    else
        context.state.attributes.clear();
}

void deleteLeaf(AppContext& context, TreeNode& node, const std::string& dn)
{
    if (!confirmed(context.desktop, "Delete Selected Object", "Delete"))
        return;
    std::optional<std::vector<ObjectLink>> links = FindObjectLinks(context);
    if (!links)
        return;
    const std::vector<std::string> linkDns = LinksNaming(*links, { DnKey(dn) });
    if (!CallSucceeded(context, deleteEntry(context, dn)))
        return;
    TreeNode* parent = node.parent;
    RemoveNode(context, node);
    if (DeleteLinks(context, linkDns))
        selectAfter(context, parent);
}

void deleteContainer(AppContext& context, TreeNode& node, const std::string& dn)
{
    Desktop& desktop = context.desktop;
    if (&node == context.state.tree.root()) {
        desktop.error("Cannot delete root object", "Error");
        return;
    }
    if (!confirmed(desktop, "Delete selected Container?", "Delete Container Object"))
        return;
    std::optional<std::vector<std::string>> subtree = SubtreeDnsDeepestFirst(context, dn);
    if (!subtree || subtree->empty())
        return;
    std::optional<std::vector<ObjectLink>> links = FindObjectLinks(context);
    if (!links)
        return;

    const std::size_t total = subtree->size();
    desktop.setProgressRange(0, static_cast<int>(total));
    desktop.setProgressStep(1);
    desktop.setProgressPosition(0);
    desktop.setStatusText("Deleting the " + std::to_string(total) + " entries of " + dn);
    std::set<std::string> deletedKeys;
    int32_t code = 0;
    std::string refused;
    for (const std::string& entry : *subtree) {
        code = deleteEntry(context, entry);
        if (code != 0) {
            refused = entry;
            break;
        }
        deletedKeys.insert(DnKey(entry));
        desktop.stepProgress();
    }
    desktop.setProgressPosition(0);
    if (code < 0) {
        CallSucceeded(context, code);
        return;
    }
    const std::vector<std::string> linkDns = LinksNaming(*links, deletedKeys);
    if (code > 0) {
        reportStop(context, code, dn, refused, deletedKeys.size(), total);
        if (DeleteLinks(context, linkDns))
            RefreshNode(context);
        return;
    }
    TreeNode* parent = node.parent;
    RemoveNode(context, node);
    if (DeleteLinks(context, linkDns))
        selectAfter(context, parent);
}

} // namespace

void DeleteObjectCommand(AppContext& context)
{
    ViewState& state = context.state;
    if (!state.flags.loggedIn) {
        context.desktop.error("Access denied. Please set the ACI attributes in the LDAP Server", "ACI Error");
        return;
    }
    TreeNode* node = state.tree.selected();
    if (!node) {
        context.desktop.error("Please select an Item", "Error");
        return;
    }
    if (state.flags.connectionLost) {
        Logout(context);
        return;
    }
    const std::string dn = BuildFullDn(*node);
    std::optional<bool> children = HasChildren(context, dn);
    if (!children)
        return;
    if (*children)
        deleteContainer(context, *node, dn);
    else
        deleteLeaf(context, *node, dn);
    if (!state.tree.empty())
        context.desktop.setStatusText(kAppTitle);
}
