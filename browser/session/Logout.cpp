#include "browser/session/Logout.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/LoginCommand.h"
#include "browser/session/ProfileFile.h"
#include "browser/tree/DirectoryView.h"
#include "ldap/OrnInterface.h"

namespace {

// The tree must not react to the selection changes its emptying causes;
// the modeless windows show the schema and entries of the server left behind.
void dropConnection(AppContext& context)
{
    ViewState& state = context.state;
    for (std::unique_ptr<DialogModel>* window : { &state.schemaManager, &state.ldapSearch })
        if (*window && !(*window)->ended())
            (*window)->cancel();
    state.flags.treeTeardown = true;
    context.service.DestroyAll();
}

void releaseResults(ViewState& state)
{
    state.generalResult.release();
    state.rootDseResult.release();
}

// Whatever command the logout ended, nothing is being read any more.
void restStatusBar(Desktop& desktop)
{
    desktop.setStatusText(kAppTitle);
    desktop.setProgressPosition(0);
}

void forgetSession(AppContext& context)
{
    ViewState& state = context.state;
    restStatusBar(context.desktop);
    clearDirectoryView(context);
    state.flags.viewNotConnected = true;
    state.flags.connectionLost = false;
    state.flags.loggedIn = false;
    state.connection.clear();
}

LogoutResult afterConnectionLost(AppContext& context)
{
    releaseResults(context.state);
    dropConnection(context);
    context.desktop.setWindowTitle(kNotConnectedTitle);
    forgetSession(context);
    return LogoutResult::LoggedOut;
}

LogoutResult loginElsewhere(AppContext& context)
{
    ViewState& state = context.state;
    dropConnection(context);
    restStatusBar(context.desktop);
    clearDirectoryView(context);
    context.desktop.setWindowTitle(kNotConnectedTitle);
    state.connection.clear();
    state.flags.loggedIn = false;
    LoadProfiles(context.desktop, state);
    bool newProfile = state.profiles.noProfile;
    DialogResult result = RunLoginDialog(context);
    // Whichever dialog was cancelled, there is no connection behind the view.
    if (result != DialogResult::Ok)
        state.flags.viewNotConnected = true;
    FinishLogin(context, result, newProfile);
    return LogoutResult::LoggedOut;
}

LogoutResult logoutAndMaybeExit(AppContext& context)
{
    dropConnection(context);
    context.desktop.setWindowTitle(kNotConnectedTitle);
    MessageAnswer exit = context.desktop.messageBox({"Do you want to exit Velmora LDAP Browser ?", "Exit ",
                                                     MessageIcon::None, MessageButtons::YesNo, false});
    if (exit == MessageAnswer::Yes)
        return LogoutResult::ExitProgram;
    forgetSession(context);
    return LogoutResult::LoggedOut;
}

} // namespace

LogoutResult Logout(AppContext& context)
{
    if (context.state.flags.connectionLost)
        return afterConnectionLost(context);

    releaseResults(context.state);
    MessageAnswer answer = context.desktop.messageBox(
        {"Login to different LDAP Server?", "Logout", MessageIcon::Question, MessageButtons::YesNoCancel, false});
    switch (answer) {
    case MessageAnswer::Yes:
        return loginElsewhere(context);
    case MessageAnswer::No:
        return logoutAndMaybeExit(context);
    default:
        return LogoutResult::Cancelled;
    }
}
