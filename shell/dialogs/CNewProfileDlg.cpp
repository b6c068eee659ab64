#include "shell/dialogs/CNewProfileDlg.h"

#include "shell/dialogs/DialogLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using Field = NewProfileDialog::Field;

CNewProfileDlg::CNewProfileDlg(NewProfileDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , fields_ { NamedEdit(this, "host"), NamedEdit(this, "port"), NamedEdit(this, "profileName"),
        NamedEdit(this, "userId"), NamedEdit(this, "password"), NamedEdit(this, "connectTimeLimit") }
    , baseDn_(NamedCombo(this, "baseDn", true))
    , anonymous_(new QCheckBox(tr("&Anonymous Binding"), this))
    , security_(NamedCombo(this, "security", false))
    , version_(NamedCombo(this, "version", false))
    , status_(NamedStatus(this))
{
    anonymous_->setObjectName("anonymous");
    fields_[static_cast<std::size_t>(Field::Password)]->setEchoMode(QLineEdit::Password);
    baseDn_->setMinimumContentsLength(30);

    auto field = [this](Field which) { return fields_[static_cast<std::size_t>(which)]; };
    auto* form = new QFormLayout;
    form->addRow(tr("&Host / IP Address"), field(Field::Host));
    form->addRow(tr("&Security"), security_);
    form->addRow(tr("P&ort"), field(Field::Port));
    form->addRow(tr("&Base DN"), baseDn_);
    form->addRow(tr("Profile &Name"), field(Field::ProfileName));
    form->addRow(QString(), anonymous_);
    form->addRow(tr("&User ID"), field(Field::UserId));
    form->addRow(tr("Pass&word"), field(Field::Password));
    form->addRow(tr("&Version"), version_);
    form->addRow(tr("Connect &time limit (s)"), field(Field::ConnectTimeLimit));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = NamedButton(buttons, "saveProfile", tr("&Save Profile"), QDialogButtonBox::ActionRole);
    QPushButton* login = NamedButton(buttons, "login", tr("&Login"), QDialogButtonBox::AcceptRole);
    fetchDns_ = NamedButton(buttons, "fetchDns", tr("&Fetch DN's"), QDialogButtonBox::ActionRole);
    NamedButton(buttons, "cancel", tr("Cancel"), QDialogButtonBox::RejectRole);
    login->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    for (Field which :
        { Field::Host, Field::Port, Field::ProfileName, Field::UserId, Field::Password, Field::ConnectTimeLimit })
        bindText(*field(which), [this, which](std::string text) { model_.setText(which, std::move(text)); });
    bindChoices(
        *baseDn_, [this](int i) { model_.chooseBaseDn(i); },
        [this](std::string text) { model_.typeBaseDn(std::move(text)); });
    bindButton(*anonymous_, [this] { model_.toggleAnonymous(); });
    bindChoices(
        *security_, [this](int i) { model_.chooseSecurity(i); }, nullptr);
    bindChoices(
        *version_, [this](int i) { model_.chooseVersion(i); }, nullptr);
    bindButton(*save, [this] { model_.saveProfile(); });
    bindButton(*login, [this] { model_.login(); });
    bindButton(*fetchDns_, [this] { model_.fetchDns(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CNewProfileDlg::refresh()
{
    for (std::size_t i = 0; i < fields_.size(); ++i)
        display(*fields_[i], model_.field(static_cast<Field>(i)));
    display(*baseDn_, model_.baseDn());
    anonymous_->setChecked(model_.anonymous());
    display(*security_, model_.security());
    display(*version_, model_.version());
    fetchDns_->setEnabled(model_.fetchDnsEnabled());
    display(*status_, model_.statusLine());
}
