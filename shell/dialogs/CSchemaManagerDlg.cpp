#include "shell/dialogs/CSchemaManagerDlg.h"

#include "shell/dialogs/ChoiceListWidget.h"
#include "shell/dialogs/DialogLayout.h"
#include "tools/schema/SchemaManagerDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CSchemaManagerDlg::CSchemaManagerDlg(SchemaManagerDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , classes_(NamedList(this, "classes"))
    , attributes_(NamedList(this, "attributes"))
{
    setModal(false);
    QPushButton* classDetails = NamedPushButton(this, "classDetails", tr("Class &Details"));
    QPushButton* attributeDetails = NamedPushButton(this, "attributeDetails", tr("Attribute Detai&ls"));
    QPushButton* addClass = NamedPushButton(this, "addNewClass", tr("Add &New Class"));
    QPushButton* addAttribute = NamedPushButton(this, "addNewAttribute", tr("Add New A&ttribute"));
    QPushButton* close = NamedPushButton(this, "close", tr("&Close"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Object Classes"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Attribute Types"), this), 0, 1);
    grid->addWidget(classes_, 1, 0);
    grid->addWidget(attributes_, 1, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : { classDetails, attributeDetails, addClass, addAttribute })
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addLayout(buttons, 1, 2);
    resize(640, 480);

    OnChoose(
        *classes_, [this](int row) { model_.chooseClass(row); }, [this] { refresh(); });
    OnChoose(
        *attributes_, [this](int row) { model_.chooseAttribute(row); }, [this] { refresh(); });
    bindButton(*classDetails, [this] { model_.classDetails(); });
    bindButton(*attributeDetails, [this] { model_.attributeDetails(); });
    bindButton(*addClass, [this] { model_.addNewClass(); });
    bindButton(*addAttribute, [this] { model_.addNewAttribute(); });
    bindButton(*close, [this] { model_.close(); });
    bind();
}

void CSchemaManagerDlg::refresh()
{
    DisplayChoices(*classes_, model_.classes());
    DisplayChoices(*attributes_, model_.attributes());
}
