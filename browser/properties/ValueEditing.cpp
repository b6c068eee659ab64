#include "browser/properties/AttributeEditing.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/Trimmed.h"
#include "browser/ViewState.h"
#include "browser/properties/DnEscape.h"
#include "browser/properties/ModifyRequest.h"
#include "browser/session/ServerWaits.h"
#include "browser/tree/DirectoryTree.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"

#include <strings.h>

#include <algorithm>

namespace {

bool sameName(const std::string& a, const char* b)
{
    return strcasecmp(a.c_str(), b) == 0;
}

int valuesShown(const AttributeList& list, const std::string& attribute)
{
    return static_cast<int>(std::count_if(list.rows().begin(), list.rows().end(),
        [&](const AttributeRow& row) { return sameName(row.name, attribute.c_str()); }));
}

EditedList chosen(ViewState& state, const EditedList* list)
{
    return list ? *list : EditedList { state.attributes, state.editing };
}

// After a refusal or a cancel the row shows again what the server holds,
// unless a lost connection has emptied the list meanwhile.
void showHeldValue(EditedList list)
{
    const EditingState& editing = list.editing;
    if (editing.row >= 0 && editing.row < list.rows.size() && list.rows.row(editing.row).name == editing.attribute)
        list.rows.setValue(editing.row, editing.value);
}

// The tree keeps no DN: the renamed entry gets a new node under the old
// one's parent, with its DN built from the parent's labels, so an escaped
// comma in the old RDN cannot cut the parent's DN short.
void renameEntry(AppContext& context)
{
    ViewState& state = context.state;
    EditingState& editing = state.editing;
    MessageAnswer answer = context.desktop.messageBox(
        { "Delete old RDN?", "Delete", MessageIcon::Question, MessageButtons::YesNoCancel });
    if (answer == MessageAnswer::Cancel) {
        showHeldValue(chosen(state, nullptr));
        return;
    }
    std::string newRdn = editing.namingAttribute + "=" + EscapeDnValue(editing.newValue);
    TreeNode* old = state.tree.selected();
    WaitingFor waiting(context, "Renaming " + state.selection.fullDn);
    int32_t renamed = context.service.OrnModifyRdnSync(
        state.selection.fullDn.c_str(), newRdn.c_str(), answer == MessageAnswer::Yes ? 1 : 0);
    if (!CallSucceeded(context, renamed)) {
        showHeldValue(chosen(state, nullptr));
        return;
    }
    if (!old || !old->parent)
        return;
    TreeNode& parent = *old->parent;
    state.loadedDns.push_back(newRdn + "," + BuildFullDn(parent));
    TreeNode* node = InsertChildNode(context, parent, newRdn);
    state.tree.remove(old);
    SelectNode(context, node);
}

} // namespace

bool CanStartValueEdit(AppContext& context, EditTrigger trigger, const EditedList* list)
{
    const ViewState& state = context.state;
    const AttributeList& rows = chosen(context.state, list).rows;
    const int row = rows.selected();
    if (trigger == EditTrigger::Command && row < 0) {
        context.desktop.error("Please select attribute to edit", "Error");
        return false;
    }
    if (trigger != EditTrigger::Command && state.flags.treeActive && !state.flags.loggedIn) {
        context.desktop.error("Access denied", "Error");
        return false;
    }
    if (row < 0)
        return false;
    // Its displayed text is not its bytes: saving that text would replace them.
    if (rows.row(row).binary) {
        context.desktop.error("A binary value cannot be edited as text.", "Error");
        return false;
    }
    return true;
}

std::string BeginValueEdit(AppContext& context, int row, const EditedList* list)
{
    EditedList edited = chosen(context.state, list);
    EditingState& editing = edited.editing;
    const AttributeRow& shown = edited.rows.row(row);
    editing.row = row;
    editing.value = shown.value;
    editing.attribute = shown.name;
    editing.state = 1;
    editing.lastValue = shown.value;
    return shown.value;
}

void EndValueEdit(AppContext& context, const std::optional<std::string>& text, const EditedList* list)
{
    EditedList edited = chosen(context.state, list);
    EditingState& editing = edited.editing;
    const AttributeList& rows = edited.rows;
    if (!text || editing.state != 1 || editing.row < 0 || editing.row >= rows.size() || rows.row(editing.row).binary)
        return;
    const char* refusal = sameName(editing.attribute, "dn") ? "Cannot edit the attribute value"
        : sameName(editing.attribute, "objectclass")        ? "Cannot edit Attribute value"
                                                            : nullptr;
    if (refusal) {
        context.desktop.error(refusal, "Error");
        editing.state = 2;
        return;
    }
    if (sameName(editing.attribute, "aci"))
        return;
    editing.newValue = Trimmed(*text);
    // Nothing to send, and no rename question to ask.
    if (editing.newValue == editing.value)
        return;
    edited.rows.setValue(editing.row, editing.newValue);
    ApplyValueEdit(context, list);
}

void ApplyValueEdit(AppContext& context, const EditedList* list)
{
    ViewState& state = context.state;
    EditedList edited = chosen(state, list);
    const EditingState& editing = edited.editing;
    // While a link's target is shown the tree has no node for it to rename.
    bool naming = !editing.keepDn && sameName(editing.attribute, editing.namingAttribute.c_str());
    if (naming && !editing.newValue.empty()) {
        renameEntry(context);
        return;
    }
    ModifyRequest request;
    if (editing.newValue.empty())
        request.change(ATTR_MOD_DELETE, editing.attribute, { editing.value });
    else if (valuesShown(edited.rows, editing.attribute) > 1)
        request.change(ATTR_MOD_DELETE, editing.attribute, { editing.value })
            .change(ATTR_MOD_ADD, editing.attribute, { editing.newValue });
    else
        request.change(ATTR_MOD_REPLACE, editing.attribute, { editing.newValue });
    if (!CallSucceeded(context, request.send(context, ShownEntryDn(state, editing))))
        showHeldValue(edited);
    else if (editing.newValue.empty())
        edited.rows.remove(editing.row);
}
