#include "browser/logs/LogCommands.h"

#include "browser/AppContext.h"
#include "browser/ViewState.h"
#include "browser/logs/DeleteLogDialog.h"
#include "browser/logs/LogViewerDialog.h"

#include <filesystem>
#include <system_error>

namespace {

// Left current afterwards, as every file named later is relative to it.
void enterWorkingFolder(const ViewState& state)
{
    // A folder that has gone leaves the logs to the current one.
    std::error_code ignored;
    if (!state.workingFolder.empty())
        std::filesystem::current_path(state.workingFolder, ignored);
}

} // namespace

void ViewLog(AppContext& context, LogMode log)
{
    enterWorkingFolder(context.state);
    LogViewerDialog dialog(context.desktop, context.clock, log);
    dialog.open();
    context.desktop.runModal(dialog);
}

void DeleteLog(AppContext& context, LogMode log)
{
    enterWorkingFolder(context.state);
    DeleteLogDialog dialog(context.desktop, log);
    context.desktop.runModal(dialog);
}
