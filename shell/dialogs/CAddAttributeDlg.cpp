#include "shell/dialogs/CAddAttributeDlg.h"

#include "browser/properties/AddAttributeDialog.h"
#include "shell/dialogs/DialogLayout.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CAddAttributeDlg::CAddAttributeDlg(AddAttributeDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , attributes_(NamedCombo(this, "attributes", false))
    , syntax_(NamedEdit(this, "syntax"))
    , value_(NamedEdit(this, "value"))
{
    syntax_->setReadOnly(true);
    attributes_->setMinimumContentsLength(24);
    auto* form = new QFormLayout;
    form->addRow(tr("&Attribute"), attributes_);
    form->addRow(tr("Syntax"), syntax_);
    form->addRow(tr("&Value"), value_);
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    bindChoices(
        *attributes_, [this](int i) { model_.chooseAttribute(i); }, nullptr);
    bindText(*value_, [this](std::string text) { model_.setValue(std::move(text)); });
    bindButton(*ok_, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CAddAttributeDlg::refresh()
{
    display(*attributes_, model_.attributes());
    syntax_->setText(QString::fromStdString(model_.syntax()));
    display(*value_, model_.value());
    ok_->setEnabled(model_.okEnabled());
}
