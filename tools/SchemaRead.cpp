#include "SchemaRead.h"

#include "AppContext.h"
#include "OrnInterface.h"
#include "ServerInfo.h"
#include "ViewState.h"

int32_t ReadSchemaAttribute(AppContext& context, const char* attribute)
{
    ViewState& state = context.state;
    if (state.subschemaDn.empty())
        return context.service.OrnReadSchema(state.rootDseResult.place());
    return ReadIntoRootDseSlot(context, state.subschemaDn, attribute);
}
