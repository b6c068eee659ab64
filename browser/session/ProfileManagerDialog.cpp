#include "browser/session/ProfileManagerDialog.h"

#include "browser/ViewState.h"
#include "browser/session/ProfileFile.h"

namespace {

void errorTitled(Desktop& desktop, const char* text)
{
    desktop.inform(text, "Error");
}

} // namespace

ProfileManagerDialog::ProfileManagerDialog(Desktop& desktop, ViewState& state)
    : desktop_(desktop), state_(state)
{
    names_.fill(ListProfileNames(state_.profiles));
    names_.text = kPrompt;
}

void ProfileManagerDialog::enableLower(bool enabled)
{
    for (TextField& field : fields_)
        field.enabled = enabled;
    saveEnabled_ = enabled;
}

void ProfileManagerDialog::chooseName(int index)
{
    if (!names_.choose(index))
        return;
    enableLower(false);
    details_.fill(ListUserDetails(state_.profiles, names_.text));
    for (TextField& field : fields_)
        field.text.clear();
    fields_[static_cast<std::size_t>(Field::Port)].text = "0";
    changed();
}

void ProfileManagerDialog::typeName(std::string text)
{
    names_.type(std::move(text));
    changed();
}

void ProfileManagerDialog::chooseDetail(int index)
{
    if (!details_.choose(index))
        return;
    editEnabled_ = true;
    deleteEnabled_ = true;
    changed();
}

void ProfileManagerDialog::typeDetail(std::string text)
{
    details_.type(std::move(text));
    changed();
}

void ProfileManagerDialog::setText(Field which, std::string text)
{
    fields_[static_cast<std::size_t>(which)].text = std::move(text);
    changed();
}

void ProfileManagerDialog::edit()
{
    bool eitherEmpty = names_.text.empty() || details_.text.empty();
    if (names_.selected < 0) {
        errorTitled(desktop_, eitherEmpty ? "Please select profile Name and user detail" : "Please Save your Profile");
        return;
    }
    if (details_.selected < 0) {
        if (eitherEmpty)
            errorTitled(desktop_, "Please Click on a profile below or enter a new profile");
        return;
    }
    if (!ParseProfile(desktop_, state_, details_.selected))
        return;
    const ConnectionSettings& parsed = state_.connection;
    // The scheme stays in the host box, so that Save keeps the profile's security.
    fields_ = {{{ProfileHost(parsed.security, parsed.host)}, {parsed.baseDn}, {std::to_string(parsed.port)}, {parsed.profileName}, {parsed.userId}}};
    enableLower(true);
    changed();
}

void ProfileManagerDialog::save()
{
    if (details_.selected < 0) {
        // Only a chosen user detail says which line to replace.
        errorTitled(desktop_, "Please select profile Name and user detail");
        return;
    }
    auto text = [this](Field which) { return field(which).text; };
    ProfileFields fields {text(Field::ProfileName), text(Field::Host), text(Field::Port), text(Field::BaseDn),
                          text(Field::UserId)};
    std::optional<std::string> line = ComposeCheckedProfileLine(desktop_, fields);
    if (!line || !ReplaceProfile(desktop_, state_, details_.selected, *line))
        return;
    state_.connection.port = AtoiRule(fields.port);
    state_.connection.baseDn = fields.baseDn;
    state_.connection.userId = fields.userId;
    end(DialogResult::Ok);
    desktop_.inform("Your profile has been changed successfully...");
}

void ProfileManagerDialog::deleteProfile()
{
    if (names_.selected < 0 || details_.selected < 0) {
        if (names_.text.empty() || details_.text.empty())
            errorTitled(desktop_, "Please Click on a profile below or enter a new profile");
        else
            desktop_.inform("Please Save your Profile");
        return;
    }
    RemoveProfile(desktop_, state_, details_.selected);
    end(DialogResult::Ok);
}
