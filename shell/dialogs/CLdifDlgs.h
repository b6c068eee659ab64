// "Export LDIF File" and "Import LDIF File": a file name, Browse, OK and
// Cancel; the import also shows the entry it is at.
#pragma once

#include "shell/dialogs/BoundDialog.h"
#include "tools/ldif/LdifDialogs.h"

template <class Model>
class CLdifFileDlg final : public BoundDialog {
public:
    CLdifFileDlg(Model& model, QWidget* parent);

private:
    static constexpr bool kHasStatus = requires(Model& model) { model.status(); };

    void refresh() override;

    Model& model_;
    QLineEdit* fileName_;
    QLabel* status_ = nullptr;
};

using CExportLdifDlg = CLdifFileDlg<ExportLdifDialog>;
using CImportLdifDlg = CLdifFileDlg<ImportLdifDialog>;
