#include "SchemaRead.h"

#include "AppContext.h"
#include "OrnInterface.h"
#include "ViewState.h"

#include <strings.h>

#include <string>

int32_t ReadSchemaAttribute(AppContext& context, const char* attribute)
{
    ViewState& state = context.state;
    if (state.subschemaDn.empty())
        return context.service.OrnReadSchema(state.rootDseResult.place());
    // The service wants a writable, null-terminated list.
    std::string name = attribute;
    char* only[] = { name.data(), nullptr };
    constexpr int32_t kScopeBase = 0;
    return context.service.OrnSearchSync(
        state.subschemaDn.c_str(), "objectclass=*", only, 0, kScopeBase, state.rootDseResult.place());
}

void ForEachSchemaValue(
    const EntryRecord* result, const char* attribute, const std::function<void(const char* value)>& visit)
{
    for (const EntryRecord* entry = result; entry && !entry->end_of_search; entry = entry->next)
        for (const AttrRecord* attr = entry->attrs; attr; attr = attr->next)
            if (attr->name && strcasecmp(attr->name, attribute) == 0)
                for (const ValueRecord* value = attr->values; value; value = value->next)
                    visit(value->data ? value->data : "");
}
