#include "shell/AttributeEditDelegate.h"

#include "shell/ServerWaitView.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QStyle>
#include <QToolTip>

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
    // only once the view has finished closing its editor, and never inside
    // another wait on the server (the editor closes when the wait takes focus).
    ServerWaitView::whenIdle(const_cast<AttributeEditDelegate*>(this), [this, text] { finished_(text); });
}

bool AttributeEditDelegate::helpEvent(
    QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString whole = index.data(Qt::ToolTipRole).toString();
    const QString shown = index.data(Qt::DisplayRole).toString();
    // The text's own margins inside the cell, as the style draws it.
    const int room = option.rect.width() - 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, view) - 2;
    if (!whole.isEmpty() && (whole != shown || option.fontMetrics.horizontalAdvance(shown) > room))
        QToolTip::showText(event->globalPos(), whole, view);
    else
        QToolTip::hideText();
    return true;
}
