#include "shell/dialogs/CLdifDlgs.h"

#include "shell/dialogs/DialogLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

template <class Model>
CLdifFileDlg<Model>::CLdifFileDlg(Model& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , fileName_(NamedEdit(this, "fileName"))
{
    fileName_->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("File Name"), this));
    row->addWidget(fileName_, 1);
    auto* browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName("browse");
    browse->setAutoDefault(false);
    row->addWidget(browse);
    layout->addLayout(row);
    if constexpr (kHasStatus) {
        status_ = NamedStatus(this);
        layout->addWidget(status_);
    }
    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);
    layout->addWidget(buttons);

    bindText(*fileName_, [this](std::string text) { model_.setFileName(std::move(text)); });
    bindButton(*browse, [this] { model_.browse(); });
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

template <class Model>
void CLdifFileDlg<Model>::refresh()
{
    display(*fileName_, model_.fileName());
    if constexpr (kHasStatus)
        display(*status_, model_.status());
}

template class CLdifFileDlg<ExportLdifDialog>;
template class CLdifFileDlg<ImportLdifDialog>;
