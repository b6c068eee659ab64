// "Login ": profile name, user detail, security, password and LDAP version, and Connect.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class LoginDialog;
class QComboBox;
class QLabel;
class QLineEdit;

class CLoginDlg final : public BoundDialog {
public:
    CLoginDlg(LoginDialog& model, QWidget* parent);

private:
    void refresh() override;

    LoginDialog& model_;
    QComboBox* profileName_;
    QComboBox* userDetails_;
    QComboBox* security_;
    QLineEdit* password_;
    QComboBox* version_;
    QLineEdit* connectTimeLimit_;
    QLabel* status_;
};
