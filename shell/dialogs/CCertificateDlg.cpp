#include "shell/dialogs/CCertificateDlg.h"

#include "browser/session/CertificateDialog.h"
#include "shell/dialogs/DialogLayout.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* shown(QWidget* parent, const char* name, const std::string& text)
{
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

CCertificateDlg::CCertificateDlg(CertificateDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
{
    auto* form = new QFormLayout;
    form->addRow(tr("Subject"), shown(this, "subject", model.subject()));
    form->addRow(tr("Issuer"), shown(this, "issuer", model.issuer()));
    form->addRow(tr("Valid"), shown(this, "validity", model.validity()));
    form->addRow(tr("SHA-256 fingerprint"), shown(this, "fingerprint", model.fingerprint()));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* once = NamedButton(buttons, "trustOnce", tr("Trust &once"), QDialogButtonBox::AcceptRole);
    QPushButton* always = NamedButton(buttons, "trustAlways", tr("Trust &always"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = NamedButton(buttons, "cancel", tr("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shown(this, "warning", model.warning()));
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(560, 0);

    bindButton(*once, [&model] { model.trustOnce(); });
    bindButton(*always, [&model] { model.trustAlways(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}
