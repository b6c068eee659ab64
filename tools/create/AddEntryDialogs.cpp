#include "tools/create/AddOrgUnitDialog.h"
#include "tools/create/AddUserDialog.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/Trimmed.h"
#include "tools/create/NewEntry.h"

AddUserDialog::AddUserDialog(AppContext& context, std::string parentDn, std::string& labelText)
    : context_(context)
    , parentDn_(std::move(parentDn))
    , labelText_(labelText)
{
}

void AddUserDialog::setFirstName(std::string text)
{
    firstName_.text = std::move(text);
    changed();
}

void AddUserDialog::setLastName(std::string text)
{
    lastName_.text = std::move(text);
    changed();
}

void AddUserDialog::ok()
{
    const std::string first = Trimmed(firstName_.text);
    if (first.empty()) {
        context_.desktop.error("Invalid Data. Please fill in data", "Error");
        return;
    }
    NewEntry entry("cn", first, parentDn_);
    entry.attribute("cn", { first })
        .attribute("sn", { lastName_.text })
        .attribute("objectclass", { "organizationalPerson", "Person" });
    DialogResult result = AddNewEntry(context_, entry, labelText_);
    if (result != DialogResult::None)
        end(result);
}

AddOrgUnitDialog::AddOrgUnitDialog(AppContext& context, std::string parentDn, std::string& labelText)
    : context_(context)
    , parentDn_(std::move(parentDn))
    , labelText_(labelText)
{
}

void AddOrgUnitDialog::setName(std::string text)
{
    name_.text = std::move(text);
    changed();
}

void AddOrgUnitDialog::ok()
{
    if (name_.text.empty()) {
        context_.desktop.error("Invalid Data.Please fill in data", "Error");
        return;
    }
    NewEntry entry("ou", name_.text, parentDn_);
    entry.attribute("ou", { name_.text }).attribute("objectclass", { "organizationalUnit" });
    DialogResult result = AddNewEntry(context_, entry, labelText_);
    if (result != DialogResult::None)
        end(result);
}
