// "New Profile": a profile typed in full; Save Profile, Login and Fetch DN's.
#pragma once

#include "browser/session/NewProfileDialog.h"
#include "shell/dialogs/BoundDialog.h"

#include <array>

class QCheckBox;
class QPushButton;

class CNewProfileDlg final : public BoundDialog {
public:
    CNewProfileDlg(NewProfileDialog& model, QWidget* parent);

private:
    void refresh() override;

    NewProfileDialog& model_;
    // In the order of NewProfileDialog::Field.
    std::array<QLineEdit*, 6> fields_;
    QComboBox* baseDn_;
    QCheckBox* anonymous_;
    QComboBox* security_;
    QComboBox* version_;
    QPushButton* fetchDns_ = nullptr;
    QLabel* status_;
};
