#include "tools/schema/SchemaManagerDialog.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ModelessWindow.h"
#include "browser/ViewState.h"
#include "browser/session/Logout.h"
#include "tools/schema/AddAttributeTypeDialog.h"
#include "tools/schema/AddObjectClassDialog.h"
#include "tools/schema/SchemaDetailsDialogs.h"
#include "tools/schema/SchemaRead.h"

#include <utility>

namespace {

constexpr const char* kReading = "Schema Manager in Progress Getting Schema Details";
constexpr const char* kRead = "Schema Manager";

void clearChoice(ChoiceList& list)
{
    list.selected = -1;
    list.text.clear();
}

} // namespace

SchemaManagerDialog::SchemaManagerDialog(AppContext& context)
    : context_(context)
{
}

void SchemaManagerDialog::read()
{
    ViewState& state = context_.state;
    context_.desktop.setStatusText(kReading);
    classes_.fill({});
    attributes_.fill({});
    changed();

    SchemaNames names;
    switch (ReadWholeSchema(context_, names)) {
    case SchemaReadEnd::Failed:
        connectionLost();
        changed();
        return;
    case SchemaReadEnd::NoSchema:
        end(DialogResult::Cancel);
        return;
    case SchemaReadEnd::Read:
        break;
    }
    SortNames(names.classes);
    SortNames(names.attributes);
    classes_.items = std::move(names.classes);
    attributes_.items = std::move(names.attributes);
    if (classes_.choose(0))
        state.selectedClassName = classes_.text;
    context_.desktop.setStatusText(kRead);
    changed();
}

bool SchemaManagerDialog::connectionLost()
{
    if (!context_.state.flags.connectionLost)
        return false;
    end(DialogResult::Cancel);
    Logout(context_);
    return true;
}

void SchemaManagerDialog::chooseClass(int index)
{
    if (!classes_.choose(index))
        return;
    clearChoice(attributes_);
    context_.state.selectedClassName = classes_.text;
    changed();
}

void SchemaManagerDialog::chooseAttribute(int index)
{
    if (!attributes_.choose(index))
        return;
    clearChoice(classes_);
    context_.state.selectedAttributeName = attributes_.text;
    changed();
}

void SchemaManagerDialog::classDetails()
{
    const ViewState& state = context_.state;
    if (state.selectedClassName.empty()) {
        context_.desktop.error("Please select class to view it's details", "Error");
        return;
    }
    ClassDetailsDialog dialog(state.objectClasses, state.selectedClassName);
    context_.desktop.runModal(dialog);
}

void SchemaManagerDialog::attributeDetails()
{
    const ViewState& state = context_.state;
    if (state.selectedAttributeName.empty()) {
        context_.desktop.error("Please select an attribute to view it's Details", "Error");
        return;
    }
    AttributeDetailsDialog dialog(state.attributeTypes, state.selectedAttributeName);
    context_.desktop.runModal(dialog);
}

bool SchemaManagerDialog::mayModify()
{
    if (context_.state.flags.loggedIn)
        return true;
    context_.desktop.error("No Schema Modification Access :- Set the ACI Attributes in the LDAP Server", "ACI ERROR");
    return false;
}

void SchemaManagerDialog::addNewClass()
{
    if (!mayModify())
        return;
    AddObjectClassDialog dialog(context_);
    dialog.open();
    if (!dialog.ended())
        context_.desktop.runModal(dialog);
    // The dialog refilled the schema lists from its own read: read again
    // whatever its end, so that the details match the names shown.
    if (!connectionLost())
        read();
}

void SchemaManagerDialog::addNewAttribute()
{
    if (!mayModify())
        return;
    AddAttributeTypeDialog dialog(context_);
    DialogResult result = context_.desktop.runModal(dialog);
    if (!connectionLost() && result == DialogResult::Ok)
        read();
}

void SchemaManagerDialog::close()
{
    ViewState& state = context_.state;
    state.rootDseResult.release();
    // The attribute types stay, freshly read: the attribute list names the
    // syntaxes of every entry shown after this by them.
    state.objectClasses.clear();
    end(DialogResult::Ok);
}

void SchemaManagerCommand(AppContext& context)
{
    context.state.rootDseResult.release();
    OpenModelessWindow<SchemaManagerDialog>(context, context.state.schemaManager);
}
