// "Add New Object Class": OID, name, parent class, and the attribute types
// moved between the available list and the mandatory and optional lists.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class AddObjectClassDialog;
class QListWidget;

class CAddObjectClassDlg final : public BoundDialog {
public:
    CAddObjectClassDlg(AddObjectClassDialog& model, QWidget* parent);

private:
    void refresh() override;

    AddObjectClassDialog& model_;
    QLineEdit* oid_;
    QLineEdit* name_;
    QComboBox* parent_;
    QListWidget* available_;
    QListWidget* mandatory_;
    QListWidget* optional_;
};
