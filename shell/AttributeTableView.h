// An attribute list as a table: the main view's, or the search window's
// list of a found entry. The core's selection and the table's follow each
// other; a double-click or the list's own key (F2) asks the core whether a
// value may be edited (CanStartValueEdit), and the in-place editor starts
// with BeginValueEdit's text and hands its result to EndValueEdit.
#pragma once

#include "browser/properties/AttributeEditing.h"

#include <QTableView>

#include <optional>

class AttributeEditDelegate;
class AttributeList;
class AttributeTableModel;
struct AppContext;

class AttributeTableView final : public QTableView {
    Q_OBJECT

public:
    // edited: null for the main view's list and editing state. The list
    // and the editing state outlive the table.
    AttributeTableView(AppContext& context, AttributeList& rows, std::optional<EditedList> edited, QWidget* parent);

    // Opens the in-place editor on the selected row, once the core has
    // agreed to the edit.
    void editSelectedValue();

signals:
    // A core operation ran: what commands are enabled may have changed.
    void coreChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Runs a core operation after the event that asked for it is over, as
    // the operation may rebuild the very rows the event came from.
    template <class Operation> void later(Operation operation);
    void startValueEdit(::EditTrigger trigger);
    const EditedList* edited() const { return edited_ ? &*edited_ : nullptr; }

    AppContext& context_;
    AttributeList& rows_;
    std::optional<EditedList> edited_;
    AttributeTableModel* model_;
    AttributeEditDelegate* delegate_;
    // Set while the table follows the core, so that its own signals are
    // not taken for the user's.
    bool following_ = false;
};
