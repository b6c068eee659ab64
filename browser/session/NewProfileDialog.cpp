#include "browser/session/NewProfileDialog.h"

#include "browser/Trimmed.h"
#include "browser/ViewState.h"
#include "browser/session/ProfileFile.h"

#include <string_view>

NewProfileDialog::NewProfileDialog(Desktop& desktop, ViewState& state)
    : desktop_(desktop)
    , state_(state)
{
    slot(Field::ConnectTimeLimit).text = std::to_string(state.connectTimeLimitSeconds);
}

void NewProfileDialog::setText(Field which, std::string text)
{
    slot(which).text = std::move(text);
    if (which == Field::Host)
        fetchDnsEnabled_ = !IsBlank(slot(Field::Host).text);
    changed();
}

void NewProfileDialog::typeBaseDn(std::string text)
{
    baseDn_.type(std::move(text));
    changed();
}

void NewProfileDialog::chooseBaseDn(int index)
{
    if (baseDn_.choose(index))
        changed();
}

void NewProfileDialog::setBaseDnItems(std::vector<std::string> items)
{
    std::string typed = baseDn_.text;
    baseDn_.fill(std::move(items));
    baseDn_.text = std::move(typed);
    changed();
}

void NewProfileDialog::toggleAnonymous()
{
    anonymous_ = !anonymous_;
    slot(Field::UserId).enabled = !anonymous_;
    slot(Field::Password).enabled = !anonymous_;
    changed();
}

void NewProfileDialog::chooseSecurity(int index)
{
    const ConnectionSecurity before = ChosenSecurity(security_);
    if (!security_.choose(index))
        return;
    if (slot(Field::Port).text == std::to_string(DefaultPort(before)))
        slot(Field::Port).text = std::to_string(DefaultPort(ChosenSecurity(security_)));
    changed();
}

void NewProfileDialog::chooseVersion(int index)
{
    if (version_.choose(index))
        changed();
}

int NewProfileDialog::ldapVersion() const
{
    return version_.text == "2" ? 2 : 3;
}

void NewProfileDialog::saveProfile()
{
    // The password is never saved.
    ProfileFields fields { slot(Field::ProfileName).text, slot(Field::Host).text, slot(Field::Port).text, baseDn_.text,
        slot(Field::UserId).text, ChosenSecurity(security_) };
    std::optional<std::string> line = ComposeCheckedProfileLine(desktop_, fields);
    if (!line || !AppendProfile(desktop_, state_, *line))
        return;
    LoadProfiles(desktop_, state_);
    desktop_.messageBox(
        { "Your profile has been successfully saved", "Save Profile", MessageIcon::None, MessageButtons::Ok, true });
}

void NewProfileDialog::login()
{
    if (loginHandler && loginHandler(*this))
        end(DialogResult::Ok);
}

void NewProfileDialog::fetchDns()
{
    if (fetchDnsEnabled_ && fetchDnsHandler)
        fetchDnsHandler(*this);
}
