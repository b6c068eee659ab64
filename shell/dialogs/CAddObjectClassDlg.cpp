#include "shell/dialogs/CAddObjectClassDlg.h"

#include "shell/dialogs/ChoiceListWidget.h"
#include "shell/dialogs/DialogLayout.h"
#include "tools/schema/AddObjectClassDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* moveButton(QWidget* parent, const char* name, const char* text)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CAddObjectClassDlg::CAddObjectClassDlg(AddObjectClassDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , oid_(NamedEdit(this, "oid"))
    , name_(NamedEdit(this, "name"))
    , parent_(NamedCombo(this, "parent", false))
    , available_(NamedList(this, "available"))
    , mandatory_(NamedList(this, "mandatory"))
    , optional_(NamedList(this, "optional"))
{
    auto* form = new QFormLayout;
    form->addRow(tr("&OID"), oid_);
    form->addRow(tr("Class &Name"), name_);
    form->addRow(tr("&Parent Class"), parent_);

    QPushButton* toMandatory = moveButton(this, "addMandatory", "->>");
    QPushButton* fromMandatory = moveButton(this, "removeMandatory", "<<-");
    QPushButton* toOptional = moveButton(this, "addOptional", "->>");
    QPushButton* fromOptional = moveButton(this, "removeOptional", "<<-");
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Available Attributes"), this), 0, 0);
    grid->addWidget(available_, 1, 0, 3, 1);
    grid->addWidget(new QLabel(tr("Mandatory"), this), 0, 2);
    auto* mandatoryMoves = new QVBoxLayout;
    mandatoryMoves->addWidget(toMandatory);
    mandatoryMoves->addWidget(fromMandatory);
    grid->addLayout(mandatoryMoves, 1, 1);
    grid->addWidget(mandatory_, 1, 2);
    grid->addWidget(new QLabel(tr("Optional"), this), 2, 2);
    auto* optionalMoves = new QVBoxLayout;
    optionalMoves->addWidget(toOptional);
    optionalMoves->addWidget(fromOptional);
    grid->addLayout(optionalMoves, 3, 1);
    grid->addWidget(optional_, 3, 2);

    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    resize(620, 560);

    bindText(*oid_, [this](std::string text) { model_.setOid(std::move(text)); });
    bindText(*name_, [this](std::string text) { model_.setName(std::move(text)); });
    bindChoices(
        *parent_, [this](int i) { model_.chooseParent(i); }, nullptr);
    OnChoose(
        *available_, [this](int row) { model_.chooseAvailable(row); }, [this] { refresh(); });
    OnChoose(
        *mandatory_, [this](int row) { model_.chooseMandatory(row); }, [this] { refresh(); });
    OnChoose(
        *optional_, [this](int row) { model_.chooseOptional(row); }, [this] { refresh(); });
    bindButton(*toMandatory, [this] { model_.addMandatory(); });
    bindButton(*fromMandatory, [this] { model_.removeMandatory(); });
    bindButton(*toOptional, [this] { model_.addOptional(); });
    bindButton(*fromOptional, [this] { model_.removeOptional(); });
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CAddObjectClassDlg::refresh()
{
    display(*oid_, model_.oid());
    display(*name_, model_.name());
    display(*parent_, model_.parent());
    DisplayChoices(*available_, model_.available());
    DisplayChoices(*mandatory_, model_.mandatory());
    DisplayChoices(*optional_, model_.optional());
}
