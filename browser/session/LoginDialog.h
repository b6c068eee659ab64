// The "Login " dialog: a profile name, one of its user details, the password,
// the LDAP version and the connect time limit. Connect logs in to the server of the chosen detail and
// ends the dialog with Ok when the login is done (or has failed in a way that
// the main view must clean up after).
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"
#include "browser/session/ConnectionSecurity.h"
#include "browser/session/LoginBind.h"

#include <string>

struct AppContext;

class LoginDialog : public DialogModel {
public:
    // Lists the profile names of the table as last loaded.
    explicit LoginDialog(AppContext& context);

    static constexpr const char* kResource = "Login ";
    std::string resourceName() const override { return kResource; }

    const ChoiceList& profileNames() const { return profileNames_; }
    // Fills the user details of the chosen name.
    void chooseProfileName(int index);
    void typeProfileName(std::string text);

    const ChoiceList& userDetails() const { return userDetails_; }
    // The password can be typed exactly when the detail has a user ID.
    void chooseUserDetail(int index);
    void typeUserDetail(std::string text);

    // How the connection is secured: the chosen detail's mode, which the
    // user may change for this login.
    const ChoiceList& security() const { return security_; }
    void chooseSecurity(int index);

    const TextField& password() const { return password_; }
    void setPassword(std::string text);

    // Items "2" and "3"; "3" to begin with.
    const ChoiceList& version() const { return version_; }
    void chooseVersion(int index);
    void typeVersion(std::string text);

    // Whole seconds; the last limit taken in this run to begin with.
    const TextField& connectTimeLimit() const { return connectTimeLimit_; }
    void setConnectTimeLimit(std::string text);

    const StatusLine& statusLine() const { return status_; }

    void connect();

private:
    friend bool LoginDialogConnect(AppContext& context, LoginDialog& dialog);

    AppContext& context_;
    ChoiceList profileNames_;
    ChoiceList userDetails_;
    TextField password_ {{}, false};
    ChoiceList version_ {{"2", "3"}, 1, "3"};
    ChoiceList security_ = SecurityChoice(ConnectionSecurity::Plain);
    TextField connectTimeLimit_;
    StatusLine status_;
};

// The Connect button. True when the dialog is to end with Ok.
bool LoginDialogConnect(AppContext& context, LoginDialog& dialog);
