// The main view's Login command and New Profile command, and the window
// titles that go with being connected or not.
#pragma once

#include "browser/Desktop.h"

struct AppContext;

// Six blanks between the application name and "Not Connected".
inline constexpr const char* kNotConnectedTitle = "Velmora LDAP Browser      Not Connected";

// Loads the profiles and opens New Profile when there are none, else the
// Login dialog; then finishes as FinishLogin says.
void LoginCommand(AppContext& context);

// Opens New Profile with its Login and Fetch DN's buttons working; ends as
// the Login command does.
void NewProfileCommand(AppContext& context);

// Runs New Profile when the profile table is empty, else the Login dialog.
DialogResult RunLoginDialog(AppContext& context);

// After a login dialog: a lost connection is logged out at once (with the
// not-connected title first when it came from New Profile); an Ok brings up
// the connected title, the server's details and the tree.
void FinishLogin(AppContext& context, DialogResult result, bool fromNewProfile);

// "Velmora LDAP Browser: LDAP:\\<host> :<port>: <user type>", followed by
// " (secured by LDAPS)" or " (secured by StartTLS)" on a secured connection.
void SetConnectedTitle(AppContext& context);
