// "Export LDIF File" and "Import LDIF File": a file name, Browse, OK and
// Cancel; the import also shows the entry it is at.
#pragma once

#include "shell/dialogs/BoundDialog.h"

class ExportLdifDialog;
class ImportLdifDialog;

class CExportLdifDlg final : public BoundDialog {
public:
    CExportLdifDlg(ExportLdifDialog& model, QWidget* parent);

private:
    void refresh() override;

    ExportLdifDialog& model_;
    QLineEdit* fileName_;
};

class CImportLdifDlg final : public BoundDialog {
public:
    CImportLdifDlg(ImportLdifDialog& model, QWidget* parent);

private:
    void refresh() override;

    ImportLdifDialog& model_;
    QLineEdit* fileName_;
    QLabel* status_;
};
