#include "tools/schema/SchemaRead.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/properties/EntryProperties.h"
#include "browser/properties/ModifyRequest.h"
#include "browser/session/ServerInfo.h"
#include "browser/session/ServerWaits.h"
#include "ldap/AttrMod.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnInterface.h"

#include <strings.h>

#include <algorithm>

int32_t ReadSchemaAttribute(AppContext& context, const char* attribute)
{
    ViewState& state = context.state;
    if (state.subschemaDn.empty())
        return ReadFixedSchema(context);
    WaitingFor waiting(context, "Reading the schema");
    return ReadIntoRootDseSlot(context, state.subschemaDn, attribute);
}

int32_t ReadSchemaEntry(AppContext& context, const std::string& dn, std::initializer_list<const char*> attributes)
{
    // The service wants a writable, null-terminated list.
    std::vector<std::string> names(attributes.begin(), attributes.end());
    std::vector<char*> list;
    for (std::string& name : names)
        list.push_back(name.data());
    list.push_back(nullptr);
    constexpr int32_t kScopeBase = 0;
    WaitingFor waiting(context, "Reading the schema");
    return context.service.OrnSearchSync(
        dn.c_str(), "objectclass=*", list.data(), 0, kScopeBase, context.state.rootDseResult.place());
}

int32_t ReadFixedSchema(AppContext& context)
{
    WaitingFor waiting(context, "Reading the schema");
    return context.service.OrnReadSchema(context.state.rootDseResult.place());
}

bool HoldsEntry(const EntryRecord* result)
{
    return result && !result->end_of_search;
}

bool SchemaCallSucceeded(AppContext& context, int32_t code)
{
    if (code > 0)
        ReportServerResponse(context, code);
    if (code < 0 && !ReportSearchCancelled(context, code))
        ReportConnectionLost(context, kConnectionTimedOutAgain, code);
    return code == 0;
}

DialogResult AddToSchema(AppContext& context, const char* attribute, std::string definition)
{
    ModifyRequest request;
    request.change(ATTR_MOD_ADD, attribute, { std::move(definition) });
    int32_t code = request.send(context, "cn=Schema");
    context.state.rootDseResult.release();
    if (code == 0)
        return DialogResult::Ok;
    if (!SchemaCallSucceeded(context, code) && code < 0)
        return DialogResult::Cancel;
    return DialogResult::None;
}

namespace {

// Ends a read with the code; true to go on.
bool readOn(AppContext& context, int32_t code)
{
    if (SchemaCallSucceeded(context, code))
        return true;
    if (code != ORN_SEARCH_CANCELLED)
        context.desktop.setStatusText(kAppTitle);
    return false;
}

void walk(ViewState& state, SchemaNames& names)
{
    ForEachAttributeValue(state.rootDseResult.get(), "objectclasses", [&](const char* definition) {
        const std::string& name = state.objectClasses.add(definition);
        if (!IsBlank(name))
            names.classes.push_back(name);
    });
    ForEachAttributeValue(state.rootDseResult.get(), "attributetypes", [&](const char* definition) {
        const std::string& name = AddAttributeType(state, definition);
        if (!IsBlank(name))
            names.attributes.push_back(name);
    });
}

SchemaReadEnd noSchema(AppContext& context)
{
    context.desktop.error("Unable to access schema", "Error");
    context.desktop.setStatusText(kAppTitle);
    return SchemaReadEnd::NoSchema;
}

} // namespace

SchemaReadEnd ReadWholeSchema(AppContext& context, SchemaNames& names)
{
    ViewState& state = context.state;
    HeldResult& result = state.rootDseResult;
    result.release();
    state.objectClasses.clear();
    state.attributeTypes.clear();
    state.multiNames.clear();
    names = {};
    if (strcasecmp(state.subschemaDn.c_str(), "cn=subschema") == 0) {
        // Attribute types first, then classes: one attribute per search.
        if (!readOn(context, ReadSchemaEntry(context, "cn=subschema", { "attributetypes" })))
            return SchemaReadEnd::Failed;
        if (!HoldsEntry(result.get()))
            return noSchema(context);
        walk(state, names);
        if (!readOn(context, ReadSchemaEntry(context, "cn=subschema", { "objectclasses" })))
            return SchemaReadEnd::Failed;
    } else if (!readOn(context, state.subschemaDn.empty()
                       ? ReadFixedSchema(context)
                       : ReadSchemaEntry(context, state.subschemaDn, { "objectclasses", "attributetypes" }))) {
        return SchemaReadEnd::Failed;
    }
    if (!HoldsEntry(result.get()))
        return noSchema(context);
    walk(state, names);
    return SchemaReadEnd::Read;
}

namespace {

bool before(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

} // namespace

void SortNames(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(), before);
}

void InsertSorted(std::vector<std::string>& names, std::string name)
{
    names.insert(std::upper_bound(names.begin(), names.end(), name, before), std::move(name));
}

std::vector<std::string> SplitAtDollar(const std::string& joined)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t end; (end = joined.find('$', start)) != std::string::npos; start = end + 1)
        names.push_back(joined.substr(start, end - start));
    if (start < joined.size())
        names.push_back(joined.substr(start));
    return names;
}

namespace {


} // namespace

