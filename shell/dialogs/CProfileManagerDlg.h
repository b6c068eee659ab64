// "Profile Manager": choose a profile and one of its user details, then edit
// that line below and save it, or delete it.
#pragma once

#include "browser/session/ProfileManagerDialog.h"
#include "shell/dialogs/BoundDialog.h"

#include <array>

class QPushButton;

class CProfileManagerDlg final : public BoundDialog {
public:
    CProfileManagerDlg(ProfileManagerDialog& model, QWidget* parent);

private:
    void refresh() override;

    ProfileManagerDialog& model_;
    QComboBox* names_;
    QComboBox* details_;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* save_ = nullptr;
    // In the order of ProfileManagerDialog::Field.
    std::array<QLineEdit*, 5> fields_;
};
