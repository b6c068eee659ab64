#include "shell/dialogs/CSchemaDetailsDlgs.h"

#include "shell/dialogs/DialogLayout.h"
#include "tools/schema/SchemaDetailsDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* shownText(QWidget* parent, const char* name, const std::string& text)
{
    QLineEdit* edit = NamedEdit(parent, name);
    edit->setReadOnly(true);
    edit->setText(QString::fromStdString(text));
    edit->setCursorPosition(0);
    edit->setMinimumWidth(420);
    return edit;
}

// A description may run to a paragraph: wrapped, not cut.
QPlainTextEdit* shownParagraph(QWidget* parent, const std::string& text)
{
    auto* edit = new QPlainTextEdit(QString::fromStdString(text), parent);
    edit->setObjectName("description");
    edit->setReadOnly(true);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 4 + 12);
    return edit;
}

QListWidget* shownList(QWidget* parent, const char* name, const std::vector<std::string>& rows)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    for (const std::string& row : rows)
        list->addItem(QString::fromStdString(row));
    return list;
}

void closeButton(QDialog* dialog, QVBoxLayout* layout, std::function<void()> close,
    const std::function<void(QPushButton&, std::function<void()>)>& bind)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* button = NamedButton(buttons, "close", QObject::tr("&Close"), QDialogButtonBox::AcceptRole);
    button->setDefault(true);
    layout->addWidget(buttons);
    bind(*button, std::move(close));
}

} // namespace

CClassDetailsDlg::CClassDetailsDlg(ClassDetailsDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
{
    auto* form = new QFormLayout;
    form->addRow(tr("Name"), shownText(this, "name", model.name()));
    form->addRow(tr("OID"), shownText(this, "oid", model.oid()));
    form->addRow(tr("Description"), shownParagraph(this, model.description()));
    form->addRow(tr("Superior Classes"), shownList(this, "superiors", model.superiors()));
    form->addRow(tr("Mandatory Attributes"), shownList(this, "mandatory", model.mandatory()));
    form->addRow(tr("Optional Attributes"), shownList(this, "optional", model.optional()));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    closeButton(
        this, layout, [&model] { model.close(); },
        [this](QPushButton& button, std::function<void()> press) { bindButton(button, std::move(press)); });
    resize(560, 600);
    bind();
}

CAttributeDetailsDlg::CAttributeDetailsDlg(AttributeDetailsDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
{
    auto* form = new QFormLayout;
    form->addRow(tr("Name"), shownText(this, "name", model.name()));
    form->addRow(tr("OID"), shownText(this, "oid", model.oid()));
    form->addRow(tr("Syntax"), shownText(this, "syntax", model.syntax()));
    form->addRow(tr("Description"), shownParagraph(this, model.description()));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    closeButton(
        this, layout, [&model] { model.close(); },
        [this](QPushButton& button, std::function<void()> press) { bindButton(button, std::move(press)); });
    bind();
}
