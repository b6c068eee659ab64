#include "browser/HelpCommand.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"

#include <filesystem>
#include <system_error>

void HelpTopics(AppContext& context)
{
    std::error_code error;
    std::filesystem::path manual = std::filesystem::current_path(error) / kManualFileName;
    // The desktop only says whether it could open the file, so a missing
    // file is found out first; every other failure means no program took it.
    if (!std::filesystem::is_regular_file(manual, error))
        context.desktop.error("Help File Not Found", "Error");
    else if (!context.desktop.openDocument(manual.string()))
        context.desktop.error("Acrobat reader is not installed.Unable to Open help file", "Error");
}
