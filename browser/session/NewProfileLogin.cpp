#include "browser/session/NewProfileLogin.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/LoginBind.h"
#include "browser/session/NewProfileDialog.h"
#include "browser/session/ProfileFile.h"
#include "browser/session/ServerInfo.h"
#include "ldap/OrnInterface.h"

using Field = NewProfileDialog::Field;

void WireNewProfileDialog(AppContext& context, NewProfileDialog& dialog)
{
    dialog.loginHandler = [&context](NewProfileDialog& self) { return NewProfileLogin(context, self); };
    dialog.fetchDnsHandler = [&context](NewProfileDialog& self) { FetchNamingContexts(context, self); };
}

bool NewProfileLogin(AppContext& context, NewProfileDialog& dialog)
{
    const std::string& host = dialog.field(Field::Host).text;
    const std::string& port = dialog.field(Field::Port).text;
    const std::string& baseDn = dialog.baseDn().text;
    if (host.empty() || port.empty() || baseDn.empty()) {
        context.desktop.inform("One or more fields are empty .Please fill in all the fields.");
        return false;
    }
    ConnectionSettings& connection = context.state.connection;
    connection.port = AtoiRule(port);
    connection.baseDn = baseDn;
    connection.host = host;
    connection.security = ChosenSecurity(dialog.security());
    connection.userId = dialog.field(Field::UserId).text;
    connection.password = dialog.field(Field::Password).text;
    if (!PasswordGivenForUser(context) || !TakeConnectTimeLimit(context, dialog.field(Field::ConnectTimeLimit).text))
        return false;

    StatusLine& status = dialog.statusLine();
    context.desktop.setStatusText("Initialisation in Progress");
    status.show("Login in Progress.......Please Wait");
    dialog.changed();
    if (!ConnectToServer(context, LdapVersionFromText(dialog.version().text))) {
        status.hide();
        return false;
    }
    LoginOutcome outcome = LoginBind(context, LoginVariant::NewProfile);
    return ActOnLoginOutcome(context, LoginVariant::NewProfile, outcome, status);
}

void FetchNamingContexts(AppContext& context, NewProfileDialog& dialog)
{
    dialog.setBaseDnItems({});
    context.state.rootDseResult.release();

    const std::string& host = dialog.field(Field::Host).text;
    const std::string& port = dialog.field(Field::Port).text;
    std::vector<std::string> contexts;
    if (!TakeConnectTimeLimit(context, dialog.field(Field::ConnectTimeLimit).text))
        return;
    if (!host.empty() && !port.empty()) {
        ConnectionSettings& connection = context.state.connection;
        connection.port = AtoiRule(port);
        connection.host = host;
        connection.security = ChosenSecurity(dialog.security());
        if (!ConnectToServer(context, LdapVersionFromText(dialog.version().text)))
            return;
        if (context.service.OrnBindSync("", "", kSimpleBind) >= 0)
            contexts = ReadRootDse(context, "namingContexts");
        context.service.DestroyAll();
    }
    if (contexts.empty()) {
        context.desktop.error("Cannot Access Server Root DSE", "Error");
        return;
    }
    dialog.setBaseDnItems(std::move(contexts));
    dialog.chooseBaseDn(0);
}
