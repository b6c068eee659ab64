#include "browser/session/LoginDialog.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/LoginBind.h"
#include "browser/session/ProfileFile.h"

LoginDialog::LoginDialog(AppContext& context) : context_(context)
{
    profileNames_.fill(ListProfileNames(context_.state.profiles));
    connectTimeLimit_.text = std::to_string(context_.state.connectTimeLimitSeconds);
}

void LoginDialog::chooseProfileName(int index)
{
    if (!profileNames_.choose(index))
        return;
    userDetails_.fill(ListUserDetails(context_.state.profiles, profileNames_.text));
    password_.enabled = false;
    changed();
}

void LoginDialog::typeProfileName(std::string text)
{
    profileNames_.type(std::move(text));
    changed();
}

void LoginDialog::chooseUserDetail(int index)
{
    if (!userDetails_.choose(index))
        return;
    // A detail is host;port;base DN;user ID.
    const std::string& detail = userDetails_.text;
    std::size_t last = detail.rfind(';');
    password_.enabled = last != std::string::npos && last + 1 < detail.size();
    std::string host;
    security_.choose(static_cast<int>(SplitProfileHost(detail.substr(0, detail.find(';')), &host)));
    changed();
}

void LoginDialog::chooseSecurity(int index)
{
    if (security_.choose(index))
        changed();
}

void LoginDialog::typeUserDetail(std::string text)
{
    userDetails_.type(std::move(text));
    changed();
}

void LoginDialog::setPassword(std::string text)
{
    password_.text = std::move(text);
    changed();
}

void LoginDialog::setConnectTimeLimit(std::string text)
{
    connectTimeLimit_.text = std::move(text);
    changed();
}

void LoginDialog::chooseVersion(int index)
{
    if (version_.choose(index))
        changed();
}

void LoginDialog::typeVersion(std::string text)
{
    version_.type(std::move(text));
    changed();
}

void LoginDialog::connect()
{
    bool done = LoginDialogConnect(context_, *this);
    if (done)
        end(DialogResult::Ok);
    else
        changed();
}

bool LoginDialogConnect(AppContext& context, LoginDialog& dialog)
{
    Desktop& desktop = context.desktop;
    ViewState& state = context.state;
    WaitCursor wait(desktop);
    state.connection.password = dialog.password_.text;

    const bool nameChosen = dialog.profileNames_.selected >= 0;
    const bool detailChosen = dialog.userDetails_.selected >= 0;
    if (!nameChosen || !detailChosen) {
        bool anyEmpty = dialog.profileNames_.text.empty() || dialog.userDetails_.text.empty()
            || dialog.password_.text.empty();
        if (nameChosen || anyEmpty)
            desktop.inform("Please click on a profile Name or enter a new profile", "Error");
        return false;
    }

    if (!ParseProfile(desktop, state, dialog.userDetails_.selected) || !PasswordGivenForUser(context)
        || !TakeConnectTimeLimit(context, dialog.connectTimeLimit_.text))
        return false;
    state.connection.profileName = dialog.profileNames_.text;
    state.connection.security = ChosenSecurity(dialog.security_);

    dialog.status_.show("Login in Progress.......Please Wait");
    dialog.changed();
    int version = LdapVersionFromText(dialog.version_.text);
    desktop.setStatusText("Initialisation in Progress");
    if (!ConnectToServer(context, version)) {
        dialog.status_.hide();
        return false;
    }
    LoginOutcome outcome = LoginBind(context, LoginVariant::LoginDialog);
    return ActOnLoginOutcome(context, LoginVariant::LoginDialog, outcome, dialog.status_);
}
