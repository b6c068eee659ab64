#include "browser/session/LoginCommand.h"

#include "browser/AppContext.h"
#include "browser/ViewState.h"
#include "browser/session/LoginDialog.h"
#include "browser/session/Logout.h"
#include "browser/session/NewProfileDialog.h"
#include "browser/session/NewProfileLogin.h"
#include "browser/session/ProfileFile.h"
#include "browser/session/ServerInfo.h"
#include "browser/tree/DirectoryView.h"

namespace {

DialogResult runNewProfile(AppContext& context)
{
    NewProfileDialog dialog(context.desktop, context.state);
    WireNewProfileDialog(context, dialog);
    return context.desktop.runModal(dialog);
}

} // namespace

DialogResult RunLoginDialog(AppContext& context)
{
    if (context.state.profiles.noProfile)
        return runNewProfile(context);
    LoginDialog dialog(context);
    return context.desktop.runModal(dialog);
}

void LoginCommand(AppContext& context)
{
    LoadProfiles(context.desktop, context.state);
    bool newProfile = context.state.profiles.noProfile;
    FinishLogin(context, RunLoginDialog(context), newProfile);
}

void NewProfileCommand(AppContext& context)
{
    FinishLogin(context, runNewProfile(context), true);
}

void FinishLogin(AppContext& context, DialogResult result, bool fromNewProfile)
{
    ViewState& state = context.state;
    if (state.flags.connectionLost) {
        if (fromNewProfile)
            context.desktop.setWindowTitle(kNotConnectedTitle);
        Logout(context);
        return;
    }
    if (result != DialogResult::Ok)
        return;
    SetConnectedTitle(context);
    state.flags.viewNotConnected = false;
    state.flags.treeTeardown = false;
    ReadServerInfo(context);
    loadDirectoryTree(context);
    const ConnectionSettings& connection = state.connection;
    if (connection.security != ConnectionSecurity::Plain)
        context.desktop.setStatusText("Connected to " + connection.host + " :" + std::to_string(connection.port)
                                      + ", secured by " + SecurityName(connection.security));
}

void SetConnectedTitle(AppContext& context)
{
    const ConnectionSettings& connection = context.state.connection;
    std::string title = "Velmora LDAP Browser: LDAP:\\\\" + connection.host + " :" + std::to_string(connection.port)
        + ": " + connection.userType;
    if (connection.security != ConnectionSecurity::Plain)
        title += std::string(" (secured by ") + SecurityName(connection.security) + ")";
    context.desktop.setWindowTitle(title);
}
