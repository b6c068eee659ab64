#include "tools/schema/AddObjectClassDialog.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/ViewState.h"
#include "browser/session/ServerInfo.h"
#include "tools/schema/SchemaRead.h"

#include <algorithm>

namespace {

// Moves the selected name, if any, from one list to another.
void move(ChoiceList& from, ChoiceList& to, bool sorted)
{
    if (from.selected < 0)
        return;
    std::string name = std::move(from.items[static_cast<std::size_t>(from.selected)]);
    from.items.erase(from.items.begin() + from.selected);
    from.selected = -1;
    from.text.clear();
    if (sorted)
        InsertSorted(to.items, std::move(name));
    else
        to.items.push_back(std::move(name));
}

// "objectclass $ cn ": each name and " $ ", the last "$ " cut away. A
// multi-name entry (" 'cn' 'commonName' ") goes as its first name.
std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (std::string name : names) {
        if (name.find(' ') != std::string::npos) {
            std::replace(name.begin(), name.end(), '\'', ' ');
            std::size_t start = name.find_first_not_of(' ');
            name = start == std::string::npos ? std::string() : name.substr(start, name.find(' ', start) - start);
        }
        text += name + " $ ";
    }
    if (!text.empty())
        text.erase(text.size() - 2);
    return text;
}

} // namespace

AddObjectClassDialog::AddObjectClassDialog(AppContext& context)
    : context_(context)
{
    // Usable as it stands even when the schema cannot be read.
    parent_.text = "top";
    mandatory_.items = { "objectclass" };
    optional_.items = { "aci" };
}

void AddObjectClassDialog::open()
{
    ViewState& state = context_.state;
    HeldResult& result = state.rootDseResult;
    result.release();
    state.objectClasses.clear();
    state.attributeTypes.clear();
    auto succeeded = [this](int32_t code) {
        if (SchemaCallSucceeded(context_, code))
            return true;
        if (code < 0 && context_.state.flags.connectionLost)
            end(DialogResult::Cancel);
        return false;
    };
    // A server without cn=Schema (slapd) answers noSuchObject: no entry,
    // so the reads below take over.
    constexpr int32_t kNoSuchObject = 32;
    int32_t code = ReadFixedSchema(context_);
    if (!succeeded(code == kNoSuchObject ? 0 : code))
        return;
    if (!HoldsEntry(result.get())) {
        // No cn=Schema entry: the classes, then the types of cn=subschema,
        // then everything the subschema DN holds.
        if (!succeeded(ReadSchemaEntry(context_, "cn=subschema", { "objectclasses" })))
            return;
        walk();
        if (!succeeded(ReadSchemaEntry(context_, "cn=subschema", { "attributetypes" })))
            return;
        if (!HoldsEntry(result.get())
            && !succeeded(ReadSchemaEntry(context_, state.subschemaDn, { "objectclasses", "attributetypes" })))
            return;
    }
    walk();
    auto top = std::find(parent_.items.begin(), parent_.items.end(), "top");
    if (top != parent_.items.end())
        parent_.choose(static_cast<int>(top - parent_.items.begin()));
    changed();
}

void AddObjectClassDialog::walk()
{
    ViewState& state = context_.state;
    ForEachAttributeValue(state.rootDseResult.get(), "objectclasses", [&](const char* definition) {
        const std::string& name = state.objectClasses.add(definition);
        if (!IsBlank(name))
            parent_.items.push_back(name);
    });
    ForEachAttributeValue(state.rootDseResult.get(), "attributetypes", [&](const char* definition) {
        const std::string& name = state.attributeTypes.add(definition);
        if (!IsBlank(name))
            available_.items.push_back(name);
    });
    SortNames(parent_.items);
    SortNames(available_.items);
}

void AddObjectClassDialog::setOid(std::string text)
{
    oid_.text = std::move(text);
}

void AddObjectClassDialog::setName(std::string text)
{
    name_.text = std::move(text);
}

void AddObjectClassDialog::chooseParent(int index)
{
    if (!parent_.choose(index))
        return;
    ViewState& state = context_.state;
    state.selectedClassName = parent_.text;
    mandatory_.fill({});
    optional_.fill({});
    if (const ObjectClassRecord* record = state.objectClasses.find(parent_.text)) {
        mandatory_.items = SplitAtDollar(record->mandatory);
        optional_.items = SplitAtDollar(record->optional);
    }
    changed();
}

void AddObjectClassDialog::chooseAvailable(int index)
{
    available_.choose(index);
}
void AddObjectClassDialog::chooseMandatory(int index)
{
    mandatory_.choose(index);
}
void AddObjectClassDialog::chooseOptional(int index)
{
    optional_.choose(index);
}

void AddObjectClassDialog::addMandatory()
{
    move(available_, mandatory_, false);
    changed();
}
void AddObjectClassDialog::addOptional()
{
    move(available_, optional_, false);
    changed();
}
void AddObjectClassDialog::removeMandatory()
{
    move(mandatory_, available_, true);
    changed();
}
void AddObjectClassDialog::removeOptional()
{
    move(optional_, available_, true);
    changed();
}

std::string AddObjectClassDialog::definition() const
{
    std::string oid = IsBlank(oid_.text) ? name_.text + "-oid" : oid_.text;
    return "(" + oid + " NAME '" + name_.text + "' DESC 'UserDefined ObjectClass' SUP '" + parent_.text + "' MUST ( "
        + joined(mandatory_.items) + ") MAY ( " + joined(optional_.items) + "))";
}

void AddObjectClassDialog::ok()
{
    DialogResult result = AddToSchema(context_, "objectclasses", definition());
    if (result != DialogResult::None)
        end(result);
    changed();
}
