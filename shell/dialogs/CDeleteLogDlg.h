// "Delete Log File": a whole log, or its records of one MM/DD/YY date.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class DeleteLogDialog;
class QCheckBox;

class CDeleteLogDlg final : public BoundDialog {
public:
    CDeleteLogDlg(DeleteLogDialog& model, QWidget* parent);

private:
    void refresh() override;

    DeleteLogDialog& model_;
    QCheckBox* entire_;
    QComboBox* month_;
    QComboBox* day_;
    QComboBox* year_;
};
