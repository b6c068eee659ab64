#include "shell/dialogs/CLoginDlg.h"

#include "browser/session/LoginDialog.h"
#include "shell/dialogs/DialogLayout.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CLoginDlg::CLoginDlg(LoginDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , profileName_(NamedCombo(this, "profileName", true))
    , userDetails_(NamedCombo(this, "userDetails", true))
    , security_(NamedCombo(this, "security", false))
    , password_(NamedEdit(this, "password"))
    , version_(NamedCombo(this, "version", true))
    , connectTimeLimit_(NamedEdit(this, "connectTimeLimit"))
    , status_(NamedStatus(this))
{
    password_->setEchoMode(QLineEdit::Password);
    userDetails_->setMinimumContentsLength(36);

    auto* form = new QFormLayout;
    form->addRow(tr("&Profile Name"), profileName_);
    form->addRow(tr("&User Details"), userDetails_);
    form->addRow(tr("&Security"), security_);
    form->addRow(tr("Pass&word"), password_);
    form->addRow(tr("&Version"), version_);
    form->addRow(tr("Connect &time limit (s)"), connectTimeLimit_);

    QPushButton* connectButton = nullptr;
    auto* buttons = AcceptAndCancel(this, "connect", tr("&Connect"), &connectButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    bindChoices(
        *profileName_, [this](int i) { model_.chooseProfileName(i); },
        [this](std::string text) { model_.typeProfileName(std::move(text)); });
    bindChoices(
        *userDetails_, [this](int i) { model_.chooseUserDetail(i); },
        [this](std::string text) { model_.typeUserDetail(std::move(text)); });
    bindChoices(
        *security_, [this](int i) { model_.chooseSecurity(i); }, nullptr);
    bindText(*password_, [this](std::string text) { model_.setPassword(std::move(text)); });
    bindChoices(
        *version_, [this](int i) { model_.chooseVersion(i); },
        [this](std::string text) { model_.typeVersion(std::move(text)); });
    bindText(*connectTimeLimit_, [this](std::string text) { model_.setConnectTimeLimit(std::move(text)); });
    bindButton(*connectButton, [this] { model_.connect(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CLoginDlg::refresh()
{
    display(*profileName_, model_.profileNames());
    display(*userDetails_, model_.userDetails());
    display(*security_, model_.security());
    display(*password_, model_.password());
    display(*version_, model_.version());
    display(*connectTimeLimit_, model_.connectTimeLimit());
    display(*status_, model_.statusLine());
}
