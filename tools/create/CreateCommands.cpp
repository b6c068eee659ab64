#include "tools/create/CreateCommands.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/Logout.h"
#include "browser/tree/TreeCommands.h"
#include "templates/TemplateDialogs.h"
#include "tools/create/AddOrgUnitDialog.h"
#include "tools/create/AddUserDialog.h"
#include "tools/create/CreateObjectDialog.h"
#include "tools/create/NewEntry.h"

namespace {

// The selected node, or null after saying that one is needed.
TreeNode* selectedNode(AppContext& context)
{
    TreeNode* node = context.state.tree.selected();
    if (!node)
        context.desktop.error("Please Select an Item", "Error");
    return node;
}

bool writable(AppContext& context, const char* refusal)
{
    if (context.state.flags.loggedIn)
        return true;
    context.desktop.error(refusal, "ACI Error");
    return false;
}

} // namespace

void FinishCreation(AppContext& context, TreeNode& parent, std::string& labelText, int pauseMs)
{
    if (context.state.flags.connectionLost) {
        Logout(context);
        return;
    }
    if (labelText.empty())
        return;
    if (pauseMs > 0)
        context.desktop.pause(pauseMs);
    InsertChildNode(context, parent, labelText);
}

void CreateObjectCommand(AppContext& context)
{
    if (!context.state.flags.loggedIn)
        return;
    TreeNode* node = selectedNode(context);
    if (!node)
        return;
    std::string labelText;
    if (context.state.xmlRendering) {
        TemplatePickerDialog picker(context, TemplatePickerDialog::Purpose::Create, labelText);
        picker.open();
        context.desktop.runModal(picker);
    } else {
        CreateObjectDialog dialog(context, ParentDn(context), labelText);
        dialog.open();
        if (!dialog.ended())
            context.desktop.runModal(dialog);
    }
    FinishCreation(context, *node, labelText, 500);
}

void AddUserCommand(AppContext& context)
{
    if (!writable(context, "Write Access not available. Please set the ACI Attributes in the LDAP Server"))
        return;
    TreeNode* node = selectedNode(context);
    if (!node)
        return;
    std::string labelText;
    AddUserDialog dialog(context, ParentDn(context), labelText);
    context.desktop.runModal(dialog);
    FinishCreation(context, *node, labelText, 0);
}

void AddOrgUnitCommand(AppContext& context)
{
    if (!writable(context, "Write access not available. Please set the ACI Attributes in the LDAP Server"))
        return;
    TreeNode* node = selectedNode(context);
    if (!node)
        return;
    std::string labelText;
    AddOrgUnitDialog dialog(context, ParentDn(context), labelText);
    context.desktop.runModal(dialog);
    FinishCreation(context, *node, labelText, 0);
}
