// The New Profile dialog's Login and Fetch DN's buttons.
#pragma once

struct AppContext;
class NewProfileDialog;

// Plugs NewProfileLogin and FetchNamingContexts into the dialog's buttons.
void WireNewProfileDialog(AppContext& context, NewProfileDialog& dialog);

// Logs in with the fields as typed (the password is not saved). True when
// the dialog is to end with Ok.
bool NewProfileLogin(AppContext& context, NewProfileDialog& dialog);

// Connects anonymously, lists the root DSE's namingContexts in the Base DN
// box and disconnects again; the connection flags stay as they were.
void FetchNamingContexts(AppContext& context, NewProfileDialog& dialog);
