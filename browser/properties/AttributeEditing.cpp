#include "browser/properties/AttributeEditing.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/properties/ModifyRequest.h"
#include "ldap/AttrMod.h"

const std::string& ShownEntryDn(const ViewState& state, const EditingState& editing)
{
    return editing.keepDn ? editing.dnToShow : state.selection.fullDn;
}

void DeleteAttributeCommand(AppContext& context)
{
    ViewState& state = context.state;
    int row = state.attributes.selected();
    if (row < 0) {
        context.desktop.error("Please select attribute for deletion", "Error");
        return;
    }
    MessageAnswer answer = context.desktop.messageBox(
        { "Delete selected attribute", "Delete", MessageIcon::Question, MessageButtons::YesNo });
    if (answer != MessageAnswer::Yes)
        return;
    const AttributeRow& shown = state.attributes.row(row);
    ModifyRequest request;
    request.change(ATTR_MOD_DELETE, shown.name, { shown.value });
    if (CallSucceeded(context, request.send(context, ShownEntryDn(state, state.editing))))
        state.attributes.remove(row);
}
