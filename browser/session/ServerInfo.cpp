#include "browser/session/ServerInfo.h"

#include "browser/AppContext.h"
#include "browser/ViewState.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnControl.h"
#include "ldap/OrnInterface.h"

#include <algorithm>

#include <strings.h>

namespace {

constexpr int32_t kScopeBase = 0;
constexpr const char* kEveryEntry = "objectclass=*";

std::string withoutBlankAfterCommas(const std::string& dn)
{
    std::string out;
    for (std::size_t i = 0; i < dn.size(); ++i) {
        out += dn[i];
        if (dn[i] == ',' && i + 1 < dn.size() && dn[i + 1] == ' ')
            ++i;
    }
    return out;
}

} // namespace

void ForEachAttributeValue(
    const EntryRecord* result, std::string_view attribute, const std::function<void(const char* value)>& visit)
{
    std::string name(attribute);
    for (const EntryRecord* entry = result; entry && !entry->end_of_search; entry = entry->next)
        for (const AttrRecord* attr = entry->attrs; attr; attr = attr->next)
            if (attr->name && strcasecmp(attr->name, name.c_str()) == 0)
                for (const ValueRecord* value = attr->values; value; value = value->next)
                    visit(value->data ? value->data : "");
}

std::vector<std::string> AttributeValues(const EntryRecord* result, std::string_view attribute)
{
    std::vector<std::string> values;
    ForEachAttributeValue(result, attribute, [&values](const char* value) { values.emplace_back(value); });
    return values;
}

std::string EntryDn(const EntryRecord* entry)
{
    const AttrRecord* first = entry->attrs;
    return first && first->values && first->values->data ? first->values->data : "";
}

int32_t ReadIntoRootDseSlot(AppContext& context, const std::string& dn, const char* attribute)
{
    // The service wants a writable, null-terminated list.
    std::string name = attribute ? attribute : "";
    char* only[] = {name.data(), nullptr};
    WaitingFor waiting(context, dn.empty() ? "Reading the root DSE" : "Reading " + dn);
    return context.service.OrnSearchSync(dn.c_str(), kEveryEntry, attribute ? only : nullptr, 0, kScopeBase,
                                         context.state.rootDseResult.place());
}

std::vector<std::string> ReadRootDse(AppContext& context, const char* attribute)
{
    std::vector<std::string> values;
    if (ReadIntoRootDseSlot(context, "", attribute) == 0)
        values = AttributeValues(context.state.rootDseResult.get(), attribute);
    context.state.rootDseResult.release();
    return values;
}

void ReadServerInfo(AppContext& context)
{
    ViewState& state = context.state;
    std::vector<std::string> subschema = ReadRootDse(context, "SubSchemaSubentry");
    if (!subschema.empty())
        state.subschemaDn = subschema.back();
    // Controls are LDAPv3's: a version 2 session sends none.
    const std::vector<std::string> controls = ReadRootDse(context, "supportedControl");
    state.serverPages = context.service.OrnGetLdapVersion() >= 3
        && std::find(controls.begin(), controls.end(), ORN_CONTROL_PAGEDRESULTS) != controls.end();

    std::string& baseDn = state.connection.baseDn;
    if (ReadIntoRootDseSlot(context, baseDn, nullptr) != 0)
        return;
    for (const std::string& dn : AttributeValues(state.rootDseResult.get(), "dn"))
        if (strcasecmp(dn.c_str(), baseDn.c_str()) != 0)
            baseDn = withoutBlankAfterCommas(dn);
}
