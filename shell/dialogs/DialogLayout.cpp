#include "shell/dialogs/DialogLayout.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

QComboBox* NamedCombo(QWidget* parent, const char* name, bool editable)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(editable);
    return box;
}

QLineEdit* NamedEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QPushButton* NamedPushButton(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel* NamedStatus(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName("status");
    label->hide();
    return label;
}

QPushButton* NamedButton(
    QDialogButtonBox* box, const char* name, const QString& text, QDialogButtonBox::ButtonRole role)
{
    QPushButton* button = box->addButton(text, role);
    button->setObjectName(name);
    // Only the button the dialog marks as default answers Enter.
    button->setAutoDefault(false);
    return button;
}

QDialogButtonBox* AcceptAndCancel(QWidget* parent, const char* name, const QString& text, QPushButton** accept)
{
    auto* buttons = new QDialogButtonBox(parent);
    *accept = NamedButton(buttons, name, text, QDialogButtonBox::AcceptRole);
    (*accept)->setDefault(true);
    NamedButton(buttons, "cancel", QObject::tr("Cancel"), QDialogButtonBox::RejectRole);
    return buttons;
}

QTableWidget* ReportList(QWidget* parent, const QStringList& titles, const QList<int>& widths)
{
    auto* list = new QTableWidget(0, static_cast<int>(titles.size()), parent);
    list->setObjectName("list");
    list->setHorizontalHeaderLabels(titles);
    for (int column = 0; column < widths.size(); ++column)
        list->setColumnWidth(column, widths[column]);
    list->verticalHeader()->hide();
    list->setShowGrid(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}
