// "Set Entries to View": the tree's page size.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class SetEntriesDialog;

class CSetEntriesDlg final : public BoundDialog {
public:
    CSetEntriesDlg(SetEntriesDialog& model, QWidget* parent);

private:
    void refresh() override;

    SetEntriesDialog& model_;
    QLineEdit* entries_;
};
