#include "shell/dialogs/CCreateObjectDlg.h"

#include "shell/dialogs/ChoiceListWidget.h"
#include "shell/dialogs/DialogLayout.h"
#include "tools/create/CreateObjectDialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CCreateObjectDlg::CCreateObjectDlg(CreateObjectDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , classes_(NamedList(this, "classes"))
{
    QPushButton* create = nullptr;
    auto* buttons = AcceptAndCancel(this, "create", tr("&Create"), &create);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(classes_);
    layout->addWidget(buttons);
    resize(320, 420);

    // Type-ahead moves the current row: that is a choice, as a click is.
    OnChoose(
        *classes_, [this](int row) { model_.chooseClass(row); }, [] {});
    bindButton(*create, [this] { model_.create(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CCreateObjectDlg::refresh()
{
    DisplayChoices(*classes_, model_.classes());
}
