// The bind procedure that both login dialogs share: the connect step before
// it, the bind that turns a typed user ID into a bind DN, and what a dialog
// does with the outcome. The two dialogs differ only in titles, reports and
// failure texts, which LoginBind.cpp keeps in one table.
#pragma once

#include "browser/DialogControls.h"

#include <string>
#include <string_view>
#include <utility>

struct AppContext;

enum class LoginOutcome {
    Plain,         // bound; no DN found for the user ID
    Valid,         // bound, and the user ID led to a DN: bind again with it
    Anonymous,     // the server refused, or the connection went: end as "Anonymous User"
    ProtocolError, // the server wants a lower version: the user may choose one
    Failed,        // any other refusal of the bind: drop the connection
    Cancelled,     // the user cancelled a wait: drop the connection, stay in the dialog
};

enum class LoginVariant { LoginDialog, NewProfile };

inline constexpr int kSimpleBind = 160;
inline constexpr const char* kAnonymousUser = "Anonymous User";
inline constexpr const char* kValidUser = "Valid User";
// The status bar after the user cancelled a wait of the login.
inline constexpr const char* kLoginCancelled = "The login was cancelled.";

// The Version box: blank means 3; otherwise its number by the atoi rule.
int LdapVersionFromText(std::string_view text);

// The connect time limit field: on a whole number of seconds from 1 to
// kMaxConnectTimeLimit, keeps it for the connects that follow; otherwise
// says what it must be and returns false.
inline constexpr int kMaxConnectTimeLimit = 3600;
bool TakeConnectTimeLimit(AppContext& context, std::string_view text);

// False, after asking for the password, when the connection names a user ID
// without one: that simple bind is unauthenticated (RFC 4513), and servers
// that accept it would make an anonymous session look like the user's.
bool PasswordGivenForUser(AppContext& context);

// Sets the version, the connect time limit and the connection's host and
// port on the service and connects. On failure shows failureText, by default " Failed to Connect to
// ldap:// <host> :<port>.", titled "Error" and in the status bar, followed by
// which of the usual causes it was; a connect the user cancelled is only
// told on the status bar.
bool ConnectToServer(AppContext& context, int version, const char* failureText = nullptr);

// Binds with the connection's user ID and password, then looks for the
// user's entry below the base DN to learn the bind DN. May replace a user ID
// typed as a DN by the value of its first RDN.
LoginOutcome LoginBind(AppContext& context, LoginVariant variant);

// What the dialog does after LoginBind. True when it ends with Ok; false
// when the user stays in it (protocol error, failed second connect or bind).
bool ActOnLoginOutcome(AppContext& context, LoginVariant variant, LoginOutcome outcome, StatusLine& status);
