#include "browser/tree/DirectoryView.h"

#include "browser/AppContext.h"
#include "browser/ViewState.h"
#include "browser/tree/TreeCommands.h"

void loadDirectoryTree(AppContext& context)
{
    LoadTree(context);
}

void clearDirectoryView(AppContext& context)
{
    ViewState& state = context.state;
    state.tree.clear();
    state.attributes.clear();
    state.selection = SelectionState {};
    state.paging = PagingState {};
    state.editing = EditingState {};
    state.loadedDns.clear();
    state.clipboard = ClipboardState {};
    state.objectClasses.clear();
    state.attributeTypes.clear();
    state.multiNames.clear();
}
