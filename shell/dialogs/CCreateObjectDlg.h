// "Create Object": the server's object classes, sorted, with type-ahead,
// and the Create button that asks for the chosen class's attributes.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class CreateObjectDialog;
class QListWidget;

class CCreateObjectDlg final : public BoundDialog {
public:
    CCreateObjectDlg(CreateObjectDialog& model, QWidget* parent);

private:
    void refresh() override;

    CreateObjectDialog& model_;
    QListWidget* classes_;
};
