#include "browser/session/LoginBind.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/SearchOutcome.h"
#include "browser/Trimmed.h"
#include "browser/ViewState.h"
#include "browser/session/CertificateTrust.h"
#include "browser/session/LoginCommand.h"
#include "browser/session/ProfileFile.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnInterface.h"

#include <algorithm>
#include <new>

namespace {

constexpr int32_t kScopeSubtree = 2;
constexpr int32_t kInvalidCredentials = 49;
constexpr int32_t kProtocolError = 2;

struct VariantRules {
    // Title of a refused bind or search; null: the result text itself.
    const char* refusalTitle;
    // A refused uid search is logged and ends anonymous; otherwise it is only
    // shown and its code decides the outcome as a refused bind's would.
    bool searchRefusalLoggedAnonymous;
    // After a lost connection, also show the library's text for the code.
    bool showsLibraryText;
    const char* protocolErrorStatus;
    // Second connect and bind with the DN found.
    const char* reconnectFailure; // null: the " Failed to Connect ..." text
    const char* rebindFailureTitle;
    const char* rebindFailureStatus; // null: the status bar is left alone
    bool notConnectedTitleOnFailure;
    const char* successStatus; // null: the status bar is left alone
};

constexpr VariantRules kLoginDialogRules {
    .refusalTitle = "Server Response",
    .searchRefusalLoggedAnonymous = true,
    .showsLibraryText = true,
    .protocolErrorStatus = "Failed to Bind",
    .reconnectFailure = nullptr,
    .rebindFailureTitle = "Error",
    .rebindFailureStatus = "Failed to connect to the Server",
    .notConnectedTitleOnFailure = true,
    .successStatus = "Velmora Ldap Browser",
};

constexpr VariantRules kNewProfileRules {
    .refusalTitle = nullptr,
    .searchRefusalLoggedAnonymous = false,
    .showsLibraryText = false,
    .protocolErrorStatus = "Failed to Bind ",
    .reconnectFailure = "Socket Initialisation Error",
    .rebindFailureTitle = kAppTitle,
    .rebindFailureStatus = nullptr,
    .notConnectedTitleOnFailure = false,
    .successStatus = nullptr,
};

const VariantRules& rulesOf(LoginVariant variant)
{
    return variant == LoginVariant::LoginDialog ? kLoginDialogRules : kNewProfileRules;
}

void showRefusal(AppContext& context, const VariantRules& rules, int32_t code, bool logged)
{
    std::string text = OrnLdapService::LdapErrorToString(code);
    context.desktop.error(text, rules.refusalTitle ? std::string(rules.refusalTitle) : text);
    if (logged)
        ReportToGeneralLog(context, text);
}

void connectionLost(AppContext& context, const VariantRules& rules, int32_t code, bool withLibraryText)
{
    ReportConnectionLost(context, kConnectionTimedOutAgain, code);
    const char* text = nullptr;
    if (withLibraryText && rules.showsLibraryText && context.service.ErrorToString(code, &text) == 0 && text)
        context.desktop.error(text, "Error");
}

bool cancelled(int32_t code)
{
    return code == ORN_SEARCH_CANCELLED || code == ORN_WAIT_CANCELLED;
}

LoginOutcome refusedOutcome(int32_t code)
{
    if (code == kInvalidCredentials)
        return LoginOutcome::Anonymous;
    return code == kProtocolError ? LoginOutcome::ProtocolError : LoginOutcome::Failed;
}

// uid=jdoe,ou=People,o=x -> jdoe. Without both "," and "=" the text is kept,
// so uid=jdoe alone is searched as it is.
std::string firstRdnValue(const std::string& userId)
{
    if (userId.find(',') == std::string::npos || userId.find('=') == std::string::npos)
        return userId;
    std::size_t start = userId.find('=') + 1;
    std::size_t end = userId.find(',', start);
    return userId.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool isLogonName(const std::string& userId)
{
    return userId.find('=') == std::string::npos
        && (userId.find('@') != std::string::npos || userId.find('\\') != std::string::npos);
}

int32_t search(AppContext& context, const std::string& base, const std::string& filter)
{
    int32_t found = context.service.OrnSearchSync(
        base.c_str(), filter.c_str(), nullptr, 0, kScopeSubtree, context.state.generalResult.place());
    if (found == MALLOC_ERROR)
        throw std::bad_alloc();
    // The look-up needs only a first entry: a base the server lacks holds
    // none, and a search a limit cut short may still have found one.
    if (found == kNoSuchObject || CutShort(found))
        return 0;
    return found;
}

// The DN of the first entry into the bind DN; false when there is none to read.
bool takeBindDn(AppContext& context)
{
    EntryRecord* entry = nullptr;
    char* dn = nullptr;
    bool found = context.service.OrnFirstEntry(context.state.generalResult.get(), &entry) == 0 && entry
        && context.service.OrnGetDn(entry, &dn) == 0 && dn;
    if (found) {
        context.state.connection.bindDn = dn;
        OrnLdapService::OrnFreeDn(dn);
    }
    context.state.generalResult.release();
    return found;
}

LoginOutcome bindAndFindDn(AppContext& context, const VariantRules& rules)
{
    ConnectionSettings& connection = context.state.connection;
    context.desktop.setStatusText("Binding in Progress");
    WaitingFor waiting(context, "Logging in to " + connection.host);
    int32_t bound = context.service.OrnBindSync(connection.userId.c_str(), connection.password.c_str(), kSimpleBind);
    if (bound == MALLOC_ERROR)
        throw std::bad_alloc();
    if (bound == ORN_WAIT_CANCELLED)
        return LoginOutcome::Cancelled;
    if (bound > 0) {
        showRefusal(context, rules, bound, true);
        // A refused bind still leaves the user working, with what anonymous users may do.
        context.state.flags.loggedIn = true;
        context.state.flags.treeActive = true;
        return refusedOutcome(bound);
    }

    context.state.generalResult.release();
    // A user principal name (name@realm) or a down-level logon name
    // (DOMAIN\name) is no DN and no uid: Active Directory binds it as typed.
    if (isLogonName(connection.userId))
        return LoginOutcome::Plain;
    connection.userId = firstRdnValue(connection.userId);
    int32_t found = search(context, connection.baseDn, "uid=" + connection.userId);
    if (cancelled(found))
        return LoginOutcome::Cancelled;
    if (found > 0) {
        showRefusal(context, rules, found, rules.searchRefusalLoggedAnonymous);
        return rules.searchRefusalLoggedAnonymous ? LoginOutcome::Anonymous : refusedOutcome(found);
    }
    if (found < 0) {
        connectionLost(context, rules, found, true);
        return LoginOutcome::Anonymous;
    }
    EntryRecord* result = context.state.generalResult.get();
    if (result && !result->end_of_search)
        return takeBindDn(context) ? LoginOutcome::Valid : LoginOutcome::Plain;

    // Netscape servers keep their users' entries under their own root.
    context.state.generalResult.release();
    found = search(context, "o=netscaperoot", "ou=" + connection.userId);
    if (cancelled(found))
        return LoginOutcome::Cancelled;
    if (found > 0) {
        showRefusal(context, rules, found, true);
        return LoginOutcome::Anonymous;
    }
    if (found < 0) {
        connectionLost(context, rules, found, false);
        return LoginOutcome::Anonymous;
    }
    context.state.generalResult.release();
    return LoginOutcome::Plain;
}

// The first bind proved the password; this one binds as the DN found.
bool bindAgainAsDn(AppContext& context, const VariantRules& rules)
{
    Desktop& desktop = context.desktop;
    OrnLdapService& service = context.service;
    desktop.setStatusText("Initialisation in Progress");
    service.DestroyAll();
    desktop.pause(1000);
    bool bound = ConnectToServer(context, service.OrnGetLdapVersion(), rules.reconnectFailure);
    if (bound) {
        desktop.setStatusText("Binding in Progress");
        const ConnectionSettings& connection = context.state.connection;
        WaitingFor waiting(context, "Logging in to " + connection.host);
        const int32_t code = service.OrnBindSync(connection.bindDn.c_str(), connection.password.c_str(), kSimpleBind);
        bound = code >= 0;
        if (code == ORN_WAIT_CANCELLED)
            desktop.setStatusText(kLoginCancelled);
        else if (!bound) {
            if (rules.rebindFailureStatus)
                desktop.setStatusText(rules.rebindFailureStatus);
            desktop.error("Cannot Bind to the LDAP Server", rules.rebindFailureTitle);
        }
    }
    if (!bound && rules.notConnectedTitleOnFailure)
        desktop.setWindowTitle(kNotConnectedTitle);
    return bound;
}

bool succeed(AppContext& context, const VariantRules& rules, StatusLine& status)
{
    context.state.flags.loggedIn = true;
    context.state.flags.treeActive = true;
    if (rules.successStatus) {
        status.hide();
        context.desktop.setStatusText(rules.successStatus);
    }
    return true;
}

} // namespace

int LdapVersionFromText(std::string_view text)
{
    return IsBlank(text) ? 3 : AtoiRule(text);
}

bool TakeConnectTimeLimit(AppContext& context, std::string_view text)
{
    int seconds = 0;
    const bool digits = !text.empty() && text.size() <= 4
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits)
        seconds = std::stoi(std::string(text));
    if (seconds < 1 || seconds > kMaxConnectTimeLimit) {
        context.desktop.error("The connect time limit must be a whole number of seconds from 1 to "
                + std::to_string(kMaxConnectTimeLimit) + ".",
            "Error");
        return false;
    }
    context.state.connectTimeLimitSeconds = seconds;
    return true;
}

namespace {

// Which of the usual three went wrong, after the failure text.
std::string connectFailureReason(int32_t code)
{
    switch (code) {
    case ORN_SOCKET_ERROR:
        return " The host name does not resolve.";
    case SOCKET_CONNECTION_ERROR:
        return " The connection was refused.";
    case ORN_CONNECT_TIMED_OUT:
        return " The host did not answer within the connect time limit.";
    case ORN_TLS_ERROR:
        return " The secure connection could not be set up.";
    default:
        return {};
    }
}

int32_t serviceSecurity(ConnectionSecurity security)
{
    switch (security) {
    case ConnectionSecurity::Ldaps:
        return ORN_SECURITY_LDAPS;
    case ConnectionSecurity::StartTls:
        return ORN_SECURITY_STARTTLS;
    default:
        return ORN_SECURITY_PLAIN;
    }
}

} // namespace

bool PasswordGivenForUser(AppContext& context)
{
    const ConnectionSettings& connection = context.state.connection;
    if (connection.userId.empty() || !connection.password.empty())
        return true;
    context.desktop.error("Please enter the password for the user ID.", "Error");
    return false;
}

bool ConnectToServer(AppContext& context, int version, const char* failureText)
{
    ConnectionSettings& connection = context.state.connection;
    OrnLdapService& service = context.service;
    service.OrnSetLdapVersion(version);
    // The service keeps the pointer: the settings outlive the connection.
    service.OrnSetHostName(connection.host.c_str());
    service.OrnSetPortNo(static_cast<uint32_t>(connection.port));
    service.OrnSetConnectTimeout(context.state.connectTimeLimitSeconds * 1000);
    service.OrnSetSecurity(serviceSecurity(connection.security));
    int32_t connected = 0;
    {
        WaitingFor waiting(context, "Connecting to " + connection.host + ", port " + std::to_string(connection.port));
        connected = service.OrnInitialise();
    }
    if (connected == 0 && AcceptServerCertificate(context))
        return true;
    if (connected == 0 || connected == ORN_WAIT_CANCELLED) {
        context.desktop.setStatusText(kLoginCancelled);
        return false;
    }
    if (connected > 0) {
        // Never on in the clear: the user asked for a secured connection.
        std::string text = "The server refused to start TLS on " + connection.host + " :"
            + std::to_string(connection.port) + ": " + OrnLdapService::LdapErrorToString(connected);
        if (const std::string answer = service.OrnGetStartTlsAnswer(); !answer.empty())
            text += " (" + answer + ")";
        text += ".";
        context.desktop.error(text, "Error");
        context.desktop.setStatusText(text);
        return false;
    }
    std::string text = failureText
        ? std::string(failureText)
        : " Failed to Connect to ldap:// " + connection.host + " :" + std::to_string(connection.port) + ".";
    text += connectFailureReason(connected);
    context.desktop.error(text, "Error");
    context.desktop.setStatusText(text);
    return false;
}

LoginOutcome LoginBind(AppContext& context, LoginVariant variant)
{
    try {
        return bindAndFindDn(context, rulesOf(variant));
    } catch (const std::bad_alloc&) {
        context.desktop.error("Memory Allocation failed", "Out of Memory");
        return LoginOutcome::Anonymous;
    }
}

bool ActOnLoginOutcome(AppContext& context, LoginVariant variant, LoginOutcome outcome, StatusLine& status)
{
    const VariantRules& rules = rulesOf(variant);
    ConnectionSettings& connection = context.state.connection;
    switch (outcome) {
    case LoginOutcome::Plain:
        connection.userType = IsBlank(connection.password) ? kAnonymousUser : kValidUser;
        return succeed(context, rules, status);
    case LoginOutcome::Valid:
        connection.userType = kValidUser;
        return bindAgainAsDn(context, rules) && succeed(context, rules, status);
    case LoginOutcome::Anonymous:
        connection.userType = kAnonymousUser;
        return true;
    case LoginOutcome::ProtocolError:
        context.desktop.messageBox({ "Binding to Particular Server Failed due to Protocol Error.Try Connecting to the "
                                     "same with Lower LDAP Version",
            "Error", MessageIcon::Warning, MessageButtons::Ok, false });
        status.hide();
        context.desktop.setStatusText(rules.protocolErrorStatus);
        return false;
    case LoginOutcome::Failed:
        context.service.DestroyAll();
        context.state.flags.connectionLost = true;
        return succeed(context, rules, status);
    case LoginOutcome::Cancelled:
        context.service.DestroyAll();
        status.hide();
        context.desktop.setStatusText(kLoginCancelled);
        return false;
    }
    return false;
}
