#include "tools/create/CreateObjectDialog.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/ServerInfo.h"
#include "ldap/OrnInterface.h"
#include "tools/create/ClassChain.h"
#include "tools/create/MandatoryAttributesDialog.h"
#include "tools/schema/SchemaRead.h"

#include <strings.h>

#include <algorithm>
#include <cctype>

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

void sortAsListBox(std::vector<std::string>& items)
{
    std::stable_sort(items.begin(), items.end(),
        [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
}

bool blank(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

} // namespace

CreateObjectDialog::CreateObjectDialog(AppContext& context, std::string parentDn, std::string& labelText)
    : context_(context)
    , parentDn_(std::move(parentDn))
    , labelText_(labelText)
{
}

void CreateObjectDialog::open()
{
    ViewState& state = context_.state;
    Desktop& desktop = context_.desktop;
    state.rootDseResult.release();
    activeDirectory_ = false;
    desktop.setStatusText("Create Object in Progress Getting Schema Details");

    if (lowered(state.subschemaDn).find("aggregate") != std::string::npos) {
        classes_.fill({ "computer", "Contact", "Group", "organizationalUnit", "user" });
        sortAsListBox(classes_.items);
        activeDirectory_ = true;
        // Nothing is preselected here: Create must not act on an older choice.
        state.selectedClassName.clear();
        desktop.setStatusText("Create Object");
        changed();
        return;
    }

    const int32_t read = ReadSchemaAttribute(context_, "objectclasses");
    if (read > 0) {
        ReportServerResponse(context_, read);
        changed();
        return;
    }
    if (read < 0) {
        if (!ReportSearchCancelled(context_, read))
            ReportConnectionLost(context_, kConnectionTimedOutAgain, read);
        end(DialogResult::Cancel);
        return;
    }
    EntryRecord* result = state.rootDseResult.get();
    if (!result || context_.service.OrnCountEntries(result) <= 0) {
        desktop.error("Unable to access schema", "Error");
        end(DialogResult::Cancel);
        return;
    }
    state.objectClasses.clear();
    std::vector<std::string> names;
    ForEachAttributeValue(result, "objectclasses", [&](const char* definition) {
        const std::string& name = state.objectClasses.add(definition);
        if (!blank(name))
            names.push_back(name);
    });
    sortAsListBox(names);
    classes_.fill(std::move(names));
    classes_.choose(0);
    state.selectedClassName = classes_.text;
    desktop.setStatusText("Create Object");
    changed();
}

void CreateObjectDialog::chooseClass(int index)
{
    if (!classes_.choose(index))
        return;
    context_.state.selectedClassName = classes_.text;
    changed();
}

void CreateObjectDialog::create()
{
    if (activeDirectory_) {
        createInActiveDirectory();
        return;
    }
    const ViewState& state = context_.state;
    const std::string& className = state.selectedClassName;
    if (blank(className)) {
        context_.desktop.error("Please select valid object class", "Error");
        return;
    }
    const ObjectClassRecord* record = state.objectClasses.find(className);
    if (!record)
        return;
    std::vector<std::string> names = CollectMandatoryNames(state.objectClasses, className);
    if (names.empty()) {
        std::string optional = FirstOptionalName(*record);
        if (optional.empty()) {
            context_.desktop.error("No object of this  ObjectClass can be Created", "Error");
            return;
        }
        names.push_back(std::move(optional));
    }
    askForAttributes(names);
    cancel();
}

void CreateObjectDialog::createInActiveDirectory()
{
    const std::string chosen = lowered(context_.state.selectedClassName);
    std::vector<std::string> names;
    if (chosen == "user" || chosen == "group" || chosen == "computer")
        names = { "cn", "SamAccountName" };
    else if (chosen == "contact")
        names = { "cn" };
    else if (chosen == "organizationalunit")
        names = { "ou" };
    else
        return;
    askForAttributes(names);
    end(DialogResult::Cancel);
}

void CreateObjectDialog::askForAttributes(const std::vector<std::string>& names)
{
    MandatoryAttributesDialog attributes(context_, context_.state.selectedClassName, names, parentDn_, labelText_);
    context_.desktop.runModal(attributes);
}

void CreateObjectDialog::cancel()
{
    context_.state.objectClasses.clear();
    context_.state.rootDseResult.release();
    end(DialogResult::Cancel);
}
