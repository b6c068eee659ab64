// "Schema Manager": the modeless window with every class and attribute type
// of the schema, their details and the two additions.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class QListWidget;
class SchemaManagerDialog;

class CSchemaManagerDlg final : public BoundDialog {
public:
    CSchemaManagerDlg(SchemaManagerDialog& model, QWidget* parent);

private:
    void refresh() override;

    SchemaManagerDialog& model_;
    QListWidget* classes_;
    QListWidget* attributes_;
};
