#include "shell/dialogs/CAddAttributeTypeDlg.h"

#include "shell/dialogs/DialogLayout.h"
#include "tools/schema/AddAttributeTypeDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CAddAttributeTypeDlg::CAddAttributeTypeDlg(AddAttributeTypeDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , name_(NamedEdit(this, "name"))
    , oid_(NamedEdit(this, "oid"))
    , syntax_(NamedCombo(this, "syntax", false))
    , description_(NamedEdit(this, "description"))
{
    auto* form = new QFormLayout;
    form->addRow(tr("&Name"), name_);
    form->addRow(tr("&OID"), oid_);
    form->addRow(tr("&Syntax"), syntax_);
    form->addRow(tr("&Description"), description_);
    description_->setMinimumWidth(320);
    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    bindText(*name_, [this](std::string text) { model_.setName(std::move(text)); });
    bindText(*oid_, [this](std::string text) { model_.setOid(std::move(text)); });
    bindChoices(
        *syntax_, [this](int i) { model_.chooseSyntax(i); }, nullptr);
    bindText(*description_, [this](std::string text) { model_.setDescription(std::move(text)); });
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CAddAttributeTypeDlg::refresh()
{
    display(*name_, model_.name());
    display(*oid_, model_.oid());
    display(*syntax_, model_.syntax());
    display(*description_, model_.description());
}
