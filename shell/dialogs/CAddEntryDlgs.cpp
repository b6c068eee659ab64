#include "shell/dialogs/CAddEntryDlgs.h"

#include "shell/dialogs/DialogLayout.h"
#include "tools/create/AddOrgUnitDialog.h"
#include "tools/create/AddUserDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The fields above OK and Cancel; OK forwards to the model.
void layOut(BoundDialog* dialog, QFormLayout* form, QDialogButtonBox* buttons)
{
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &BoundDialog::reject);
}

} // namespace

CAddUserDlg::CAddUserDlg(AddUserDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , firstName_(NamedEdit(this, "firstName"))
    , lastName_(NamedEdit(this, "lastName"))
{
    auto* form = new QFormLayout;
    form->addRow(tr("&First Name:"), firstName_);
    form->addRow(tr("&Last Name:"), lastName_);
    QPushButton* ok = nullptr;
    layOut(this, form, AcceptAndCancel(this, "ok", tr("OK"), &ok));
    firstName_->setMinimumWidth(220);
    bindText(*firstName_, [this](std::string text) { model_.setFirstName(std::move(text)); });
    bindText(*lastName_, [this](std::string text) { model_.setLastName(std::move(text)); });
    bindButton(*ok, [this] { model_.ok(); });
    bind();
}

void CAddUserDlg::refresh()
{
    display(*firstName_, model_.firstName());
    display(*lastName_, model_.lastName());
}

CAddOrgUnitDlg::CAddOrgUnitDlg(AddOrgUnitDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , name_(NamedEdit(this, "name"))
{
    auto* form = new QFormLayout;
    auto* label = new QLabel(tr("Enter OU Name:"), this);
    label->setBuddy(name_);
    form->addRow(label, name_);
    QPushButton* ok = nullptr;
    layOut(this, form, AcceptAndCancel(this, "ok", tr("OK"), &ok));
    name_->setMinimumWidth(220);
    bindText(*name_, [this](std::string text) { model_.setName(std::move(text)); });
    bindButton(*ok, [this] { model_.ok(); });
    bind();
}

void CAddOrgUnitDlg::refresh()
{
    display(*name_, model_.name());
}
