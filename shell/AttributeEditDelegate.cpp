#include "shell/AttributeEditDelegate.h"

#include <QLineEdit>
#include <QMetaObject>

AttributeEditDelegate::AttributeEditDelegate(Finished finished, QObject* parent)
    : QStyledItemDelegate(parent)
    , finished_(std::move(finished))
{
}

void AttributeEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(startText_);
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void AttributeEditDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        committed_ = line->text().toStdString();
}

void AttributeEditDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    QStyledItemDelegate::destroyEditor(editor, index);
    std::optional<std::string> text = std::exchange(committed_, std::nullopt);
    // The edit may ask questions, talk to the server and change the list:
    // only once the view has finished closing its editor.
    QMetaObject::invokeMethod(
        const_cast<AttributeEditDelegate*>(this), [this, text] { finished_(text); }, Qt::QueuedConnection);
}
