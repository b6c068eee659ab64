#include "browser/properties/AddAttributeDialog.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/properties/AttributeEditing.h"
#include "browser/properties/EntryProperties.h"
#include "browser/properties/ModifyRequest.h"
#include "browser/session/Logout.h"
#include "browser/session/ServerInfo.h"
#include "browser/session/ServerWaits.h"
#include "ldap/AttrMod.h"
#include "ldap/OrnInterface.h"
#include "tools/schema/SchemaRead.h"

#include <strings.h>

#include <algorithm>

namespace {

bool sameName(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

void addOnce(std::vector<std::string>& names, const std::string& name)
{
    if (!name.empty()
        && std::none_of(names.begin(), names.end(), [&](const std::string& n) { return sameName(n, name); }))
        names.push_back(name);
}

std::vector<std::string> splitAtDollar(const std::string& joined)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t end; (end = joined.find('$', start)) != std::string::npos; start = end + 1)
        names.push_back(joined.substr(start, end - start));
    names.push_back(joined.substr(start));
    return names;
}

// The MUST and MAY names of the classes and of every class above them,
// each class visited once, so that a SUP cycle in a broken schema ends.
std::vector<std::string> allowedAttributes(const ObjectClassList& schema, std::vector<std::string> pending)
{
    std::vector<std::string> visited;
    std::vector<std::string> names;
    while (!pending.empty()) {
        std::string name = std::move(pending.back());
        pending.pop_back();
        if (std::any_of(visited.begin(), visited.end(), [&](const std::string& v) { return sameName(v, name); }))
            continue;
        visited.push_back(name);
        const ObjectClassRecord* record = schema.find(name);
        if (!record)
            continue;
        for (const std::string& attribute : splitAtDollar(record->mandatory))
            addOnce(names, attribute);
        for (const std::string& attribute : splitAtDollar(record->optional))
            addOnce(names, attribute);
        for (std::string& superior : splitAtDollar(record->superiors))
            if (!superior.empty())
                pending.push_back(std::move(superior));
    }
    // As a sorted list box orders them: ignoring case.
    std::sort(names.begin(), names.end(),
        [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return names;
}

} // namespace

AddAttributeDialog::AddAttributeDialog(AppContext& context)
    : context_(context)
{
}

void AddAttributeDialog::open()
{
    ViewState& state = context_.state;
    HeldResult entry;
    constexpr int32_t kScopeBase = 0;
    const std::string dn = ShownEntryDn(state, state.editing);
    int32_t found = 0;
    {
        WaitingFor waiting(context_, "Reading " + dn);
        found = context_.service.OrnSearchSync(dn.c_str(), "objectClass=*", nullptr, 0, kScopeBase, entry.place());
    }
    if (!succeeded(found))
        return;
    std::vector<std::string> classes = AttributeValues(entry.get(), "objectclass");

    // Read afresh each time: the Schema Manager may have added classes.
    state.objectClasses.clear();
    if (!succeeded(ReadSchemaAttribute(context_, "objectclasses")))
        return;
    ForEachAttributeValue(state.rootDseResult.get(), "objectclasses",
        [&](const char* definition) { state.objectClasses.add(definition); });
    state.rootDseResult.release();

    attributes_.fill(allowedAttributes(state.objectClasses, std::move(classes)));
    changed();
}

void AddAttributeDialog::chooseAttribute(int index)
{
    if (!attributes_.choose(index))
        return;
    std::string syntax = SchemaSyntax(context_.state, attributes_.text);
    syntax_ = syntax.empty() ? "Attribute syntax not available in schema" : syntax;
    changed();
}

void AddAttributeDialog::setValue(std::string text)
{
    value_.text = std::move(text);
    changed();
}

void AddAttributeDialog::ok()
{
    if (!okEnabled())
        return;
    ModifyRequest request;
    request.change(ATTR_MOD_ADD, attributes_.text, { value_.text });
    if (succeeded(request.send(context_, ShownEntryDn(context_.state, context_.state.editing))))
        end(DialogResult::Ok);
}

bool AddAttributeDialog::succeeded(int32_t code)
{
    if (code > 0) {
        ReportServerResponse(context_, code);
        changed();
    }
    if (code < 0 && ReportSearchCancelled(context_, code))
        end(DialogResult::Cancel);
    else if (code < 0) {
        ReportConnectionLost(context_, kConnectionTimedOutAgain, code);
        end(DialogResult::Ok);
    }
    return code == 0;
}

void AddAttributeCommand(AppContext& context)
{
    ViewState& state = context.state;
    if (!state.flags.loggedIn) {
        context.desktop.error("Access denied", "Error");
        return;
    }
    if (!state.tree.selected()) {
        context.desktop.error("Please select an Item", "Error");
        return;
    }
    AddAttributeDialog dialog(context);
    dialog.open();
    DialogResult result = dialog.ended() ? dialog.result() : context.desktop.runModal(dialog);
    if (state.flags.connectionLost)
        Logout(context);
    else if (result == DialogResult::Ok)
        ShowEntryProperties(context);
}
