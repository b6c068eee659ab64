// The attribute list's value column: its in-place editor, and the tooltip
// that shows a value whole when its cell cannot. The core says what the
// editor starts with (BeginValueEdit) and takes the result (EndValueEdit);
// the delegate only carries the text between them.
#pragma once

#include <QStyledItemDelegate>

#include <functional>
#include <optional>
#include <string>

class AttributeEditDelegate final : public QStyledItemDelegate {
public:
    // Called once per edit, after the editor has gone: the text, or nothing
    // when the edit was cancelled.
    using Finished = std::function<void(const std::optional<std::string>&)>;

    AttributeEditDelegate(Finished finished, QObject* parent);

    // The text the next editor starts with.
    void setStartText(const std::string& text) { startText_ = QString::fromStdString(text); }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;

private:
    Finished finished_;
    QString startText_;
    mutable std::optional<std::string> committed_;
};
