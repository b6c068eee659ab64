#include "tools/schema/SchemaManagerDialog.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/Logout.h"
#include "browser/session/ServerInfo.h"
#include "ldap/OrnCodes.h"
#include "tools/schema/AddAttributeTypeDialog.h"
#include "tools/schema/AddObjectClassDialog.h"
#include "tools/schema/SchemaDetailsDialogs.h"
#include "tools/schema/SchemaRead.h"

#include <strings.h>

#include <memory>

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
    HeldResult& result = state.rootDseResult;
    result.release();
    state.objectClasses.clear();
    state.attributeTypes.clear();
    context_.desktop.setStatusText(kReading);
    classes_.fill({});
    attributes_.fill({});
    changed();

    if (strcasecmp(state.subschemaDn.c_str(), "cn=subschema") == 0) {
        // Attribute types first, then classes: one attribute per search.
        if (!succeeded(ReadSchemaEntry(context_, "cn=subschema", { "attributetypes" })))
            return;
        if (!HoldsEntry(result.get()))
            return unableToAccess();
        walk();
        if (!succeeded(ReadSchemaEntry(context_, "cn=subschema", { "objectclasses" })))
            return;
    } else if (!succeeded(state.subschemaDn.empty()
                       ? ReadFixedSchema(context_)
                       : ReadSchemaEntry(context_, state.subschemaDn, { "objectclasses", "attributetypes" }))) {
        return;
    }
    if (!HoldsEntry(result.get()))
        return unableToAccess();
    walk();
    SortNames(classes_.items);
    SortNames(attributes_.items);
    if (classes_.choose(0))
        state.selectedClassName = classes_.text;
    context_.desktop.setStatusText(kRead);
    changed();
}

void SchemaManagerDialog::walk()
{
    ViewState& state = context_.state;
    ForEachAttributeValue(state.rootDseResult.get(), "objectclasses", [&](const char* definition) {
        const std::string& name = state.objectClasses.add(definition);
        if (!IsBlank(name))
            classes_.items.push_back(name);
    });
    ForEachAttributeValue(state.rootDseResult.get(), "attributetypes", [&](const char* definition) {
        const std::string& name = state.attributeTypes.add(definition);
        if (!IsBlank(name))
            attributes_.items.push_back(name);
    });
}

bool SchemaManagerDialog::succeeded(int32_t code)
{
    if (SchemaCallSucceeded(context_, code))
        return true;
    if (code != ORN_SEARCH_CANCELLED)
        context_.desktop.setStatusText(kAppTitle);
    connectionLost();
    changed();
    return false;
}

void SchemaManagerDialog::unableToAccess()
{
    context_.desktop.error("Unable to access schema", "Error");
    context_.desktop.setStatusText(kAppTitle);
    end(DialogResult::Cancel);
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
    ViewState& state = context.state;
    state.rootDseResult.release();
    if (state.schemaManager && !state.schemaManager->ended()) {
        context.desktop.showModeless(*state.schemaManager);
        return;
    }
    auto dialog = std::make_unique<SchemaManagerDialog>(context);
    SchemaManagerDialog& manager = *dialog;
    state.schemaManager = std::move(dialog);
    manager.read();
    if (!manager.ended())
        context.desktop.showModeless(manager);
}
