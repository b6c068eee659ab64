// The reports every command makes: one log append, and the two sequences
// that surround it after a library call failed. Each exists here once.
#pragma once

#include "browser/logs/ErrorLog.h"

#include <cstdint>
#include <string>

struct AppContext;

// What the user is told when a transport failure ends the session: the main
// view's commands (tree, attribute list, entry operations) use the first,
// the dialogs (login, Add Attribute, schema, object creation, search, LDIF,
// XML rendering) the second.
inline constexpr const char* kConnectionTimedOut = "Please Login. Connection timed out";
inline constexpr const char* kConnectionTimedOutAgain = "Please Login again. Connection timed out";
// In place of either when the user cancelled a wait for anything but a search.
inline constexpr const char* kWaitCancelled = "The wait for the server was cancelled, so the connection was closed. "
                                              "The server may have carried out the change.";
// The status bar after the user cancelled a search; the connection stays.
inline constexpr const char* kSearchCancelled = "The search was cancelled.";

// Appends one dated record with the current host to the log of the mode.
// A general log that cannot be opened shows "Could not create file"; an LDIF
// record while no import holds the LDIF log open is refused without a box.
// True when the record was written.
bool ReportError(AppContext& context, const std::string& message, LogMode mode);

// The report path: ReportError to the general log and, when that fails,
// "Could not generate error log file" titled "Error".
void ReportToGeneralLog(AppContext& context, const std::string& message);

// After a positive (server) result: shows the result code's text in an error
// box titled "Server Response" and logs it. The caller then stops its
// operation.
void ReportServerResponse(AppContext& context, int32_t code);

// After a negative (transport) result: marks the connection lost, shows the
// wording (kWaitCancelled for a cancelled wait) and logs "Connection to the
// Server <host> lost". The caller then runs the connection-lost logout, or
// ends its login dialog.
void ReportConnectionLost(AppContext& context, const std::string& wording, int32_t code);

// True, after saying so on the status bar, when code is that of a search the
// user cancelled; the caller then stops its command as after a failure.
bool ReportSearchCancelled(AppContext& context, int32_t code);

// The name of the limit that cut a search short, e.g. "Size Limit Exceeded".
std::string LimitText(int32_t code);


// After a search that a limit cut short (CutShort): that the list holds
// only the first `shown` entries, and the limit's name.
std::string IncompleteListText(int32_t code, int shown);
// The same in a warning box, for a list the user sees at once.
void ReportIncompleteList(AppContext& context, int32_t code, int shown);

// How the main view's commands end a library call: true for 0; a server
// refusal goes to ReportServerResponse; a cancelled search to
// ReportSearchCancelled; a transport failure to ReportConnectionLost with
// kConnectionTimedOut and then the connection-lost logout. The caller stops
// at false.
bool CallSucceeded(AppContext& context, int32_t code);
