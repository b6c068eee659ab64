#include "shell/dialogs/CProfileManagerDlg.h"

#include "shell/dialogs/DialogLayout.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using Field = ProfileManagerDialog::Field;

CProfileManagerDlg::CProfileManagerDlg(ProfileManagerDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , names_(NamedCombo(this, "profileNames", true))
    , details_(NamedCombo(this, "userDetails", true))
    , fields_ { NamedEdit(this, "host"), NamedEdit(this, "baseDn"), NamedEdit(this, "port"),
        NamedEdit(this, "profileName"), NamedEdit(this, "userId") }
{
    details_->setMinimumContentsLength(36);
    auto field = [this](Field which) { return fields_[static_cast<std::size_t>(which)]; };

    auto* upper = new QGroupBox(this);
    auto* choose = new QFormLayout(upper);
    choose->addRow(tr("Profile &Name"), names_);
    choose->addRow(tr("&User Details"), details_);
    auto* upperButtons = new QDialogButtonBox(upper);
    edit_ = NamedButton(upperButtons, "edit", tr("&Edit"), QDialogButtonBox::ActionRole);
    delete_ = NamedButton(upperButtons, "delete", tr("&Delete"), QDialogButtonBox::ActionRole);
    choose->addRow(upperButtons);

    auto* lower = new QGroupBox(this);
    auto* form = new QFormLayout(lower);
    form->addRow(tr("&Host"), field(Field::Host));
    form->addRow(tr("&Base DN"), field(Field::BaseDn));
    form->addRow(tr("&Port"), field(Field::Port));
    form->addRow(tr("Profile N&ame"), field(Field::ProfileName));
    form->addRow(tr("User &ID"), field(Field::UserId));
    auto* lowerButtons = new QDialogButtonBox(lower);
    save_ = NamedButton(lowerButtons, "save", tr("&Save "), QDialogButtonBox::ActionRole);
    form->addRow(lowerButtons);

    auto* buttons = new QDialogButtonBox(this);
    NamedButton(buttons, "cancel", tr("Cancel"), QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(upper);
    layout->addWidget(lower);
    layout->addWidget(buttons);

    bindChoices(
        *names_, [this](int i) { model_.chooseName(i); },
        [this](std::string text) { model_.typeName(std::move(text)); });
    bindChoices(
        *details_, [this](int i) { model_.chooseDetail(i); },
        [this](std::string text) { model_.typeDetail(std::move(text)); });
    for (Field which : { Field::Host, Field::BaseDn, Field::Port, Field::ProfileName, Field::UserId })
        bindText(*field(which), [this, which](std::string text) { model_.setText(which, std::move(text)); });
    bindButton(*edit_, [this] { model_.edit(); });
    bindButton(*delete_, [this] { model_.deleteProfile(); });
    bindButton(*save_, [this] { model_.save(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CProfileManagerDlg::refresh()
{
    display(*names_, model_.names());
    display(*details_, model_.details());
    edit_->setEnabled(model_.editEnabled());
    delete_->setEnabled(model_.deleteEnabled());
    save_->setEnabled(model_.saveEnabled());
    for (std::size_t i = 0; i < fields_.size(); ++i)
        display(*fields_[i], model_.field(static_cast<Field>(i)));
}
