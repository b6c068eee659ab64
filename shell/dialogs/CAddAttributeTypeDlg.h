// "Add New Attribute": name, OID, one of the six syntaxes and a description.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class AddAttributeTypeDialog;

class CAddAttributeTypeDlg final : public BoundDialog {
public:
    CAddAttributeTypeDlg(AddAttributeTypeDialog& model, QWidget* parent);

private:
    void refresh() override;

    AddAttributeTypeDialog& model_;
    QLineEdit* name_;
    QLineEdit* oid_;
    QComboBox* syntax_;
    QLineEdit* description_;
};
