// "Add Attribute to Object": an attribute the entry's classes allow, its
// syntax, and one value.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class AddAttributeDialog;
class QPushButton;

class CAddAttributeDlg final : public BoundDialog {
public:
    CAddAttributeDlg(AddAttributeDialog& model, QWidget* parent);

private:
    void refresh() override;

    AddAttributeDialog& model_;
    QComboBox* attributes_;
    QLineEdit* syntax_;
    QLineEdit* value_;
    QPushButton* ok_ = nullptr;
};
