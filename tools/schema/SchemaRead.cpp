#include "tools/schema/SchemaRead.h"

#include "browser/AppContext.h"
#include "browser/ViewState.h"
#include "browser/session/ServerInfo.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnInterface.h"

int32_t ReadSchemaAttribute(AppContext& context, const char* attribute)
{
    ViewState& state = context.state;
    WaitingFor waiting(context, "Reading the schema");
    if (state.subschemaDn.empty())
        return context.service.OrnReadSchema(state.rootDseResult.place());
    return ReadIntoRootDseSlot(context, state.subschemaDn, attribute);
}
