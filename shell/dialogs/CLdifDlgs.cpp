#include "shell/dialogs/CLdifDlgs.h"

#include "shell/dialogs/DialogLayout.h"
#include "tools/ldif/LdifDialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The name field with Browse beside it; the layout is added to the dialog's.
QPushButton* fileRow(QWidget* dialog, QVBoxLayout* layout, QLineEdit* fileName)
{
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QObject::tr("File Name"), dialog));
    row->addWidget(fileName, 1);
    auto* browse = new QPushButton(QObject::tr("&Browse..."), dialog);
    browse->setObjectName("browse");
    browse->setAutoDefault(false);
    row->addWidget(browse);
    layout->addLayout(row);
    return browse;
}

} // namespace

CExportLdifDlg::CExportLdifDlg(ExportLdifDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , fileName_(NamedEdit(this, "fileName"))
{
    fileName_->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    QPushButton* browse = fileRow(this, layout, fileName_);
    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);
    layout->addWidget(buttons);

    bindText(*fileName_, [this](std::string text) { model_.setFileName(std::move(text)); });
    bindButton(*browse, [this] { model_.browse(); });
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CExportLdifDlg::refresh()
{
    display(*fileName_, model_.fileName());
}

CImportLdifDlg::CImportLdifDlg(ImportLdifDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , fileName_(NamedEdit(this, "fileName"))
    , status_(NamedStatus(this))
{
    fileName_->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    QPushButton* browse = fileRow(this, layout, fileName_);
    layout->addWidget(status_);
    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);
    layout->addWidget(buttons);

    bindText(*fileName_, [this](std::string text) { model_.setFileName(std::move(text)); });
    bindButton(*browse, [this] { model_.browse(); });
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CImportLdifDlg::refresh()
{
    display(*fileName_, model_.fileName());
    display(*status_, model_.status());
}
