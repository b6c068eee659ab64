// The Logout command, and the logout that follows a lost connection.
#pragma once

struct AppContext;

enum class LogoutResult {
    Cancelled,   // the user kept the session
    LoggedOut,   // not connected now, or connected again through a login dialog
    ExitProgram, // the user chose to leave: the main window is to close
};

// With the connection-lost flag clear, asks "Login to different LDAP
// Server?": Yes logs out and opens a login dialog, No logs out and asks
// whether to exit. With the flag set, logs out without asking.
LogoutResult Logout(AppContext& context);
