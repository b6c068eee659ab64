#include "shell/dialogs/CSetEntriesDlg.h"

#include "browser/session/SetEntriesDialog.h"
#include "shell/dialogs/DialogLayout.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CSetEntriesDlg::CSetEntriesDlg(SetEntriesDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , entries_(NamedEdit(this, "entries"))
{
    auto* form = new QFormLayout;
    form->addRow(tr("Set Number of entries to view"), entries_);
    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    bindText(*entries_, [this](std::string text) { model_.setEntries(std::move(text)); });
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CSetEntriesDlg::refresh()
{
    display(*entries_, TextField { model_.entries() });
}
