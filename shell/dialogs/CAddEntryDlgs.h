// "Add User " (first and last name) and "Add Organisation Unit" (a name).
#pragma once

#include "shell/dialogs/BoundDialog.h"

class AddOrgUnitDialog;
class AddUserDialog;

class CAddUserDlg final : public BoundDialog {
public:
    CAddUserDlg(AddUserDialog& model, QWidget* parent);

private:
    void refresh() override;

    AddUserDialog& model_;
    QLineEdit* firstName_;
    QLineEdit* lastName_;
};

class CAddOrgUnitDlg final : public BoundDialog {
public:
    CAddOrgUnitDlg(AddOrgUnitDialog& model, QWidget* parent);

private:
    void refresh() override;

    AddOrgUnitDialog& model_;
    QLineEdit* name_;
};
