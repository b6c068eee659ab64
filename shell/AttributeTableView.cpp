#include "shell/AttributeTableView.h"

#include "browser/properties/AttributeList.h"
#include "shell/AttributeEditDelegate.h"
#include "shell/AttributeTableModel.h"
#include "shell/CommandActions.h"
#include "shell/ServerWaitView.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <utility>

AttributeTableView::AttributeTableView(
    AppContext& context, AttributeList& rows, std::optional<EditedList> edited, QWidget* parent)
    : QTableView(parent)
    , context_(context)
    , rows_(rows)
    , edited_(edited)
    , model_(new AttributeTableModel(rows, this))
    , delegate_(new AttributeEditDelegate(
          [this](const std::optional<std::string>& text) {
              EndValueEdit(context_, text, this->edited());
              emit coreChanged();
          },
          this))
{
    setModel(model_);
    setShowGrid(true);
    // One line per value, as a list control shows it; long texts are cut short.
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    // The last column takes the room left, so long OIDs stay readable.
    horizontalHeader()->setStretchLastSection(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Edits start only when the core agrees: see startValueEdit.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegateForColumn(0, delegate_);

    connect(model_, &AttributeTableModel::selectionMoved, this, [this](int row) {
        following_ = true;
        if (row >= 0)
            selectRow(row);
        else
            selectionModel()->clear();
        following_ = false;
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (!following_) {
            rows_.select(current.isValid() ? current.row() : -1);
            emit coreChanged();
        }
    });
    connect(this, &QTableView::doubleClicked, this,
        [this] { later([this] { startValueEdit(::EditTrigger::DoubleClick); }); });
}

template <class Operation> void AttributeTableView::later(Operation operation)
{
    ServerWaitView::whenIdle(this, [this, operation = std::move(operation)]() mutable {
        operation();
        emit coreChanged();
    });
}

void AttributeTableView::keyPressEvent(QKeyEvent* event)
{
    if (PaneKey(*event, KeyScope::AttributeList)) {
        later([this] { startValueEdit(::EditTrigger::ListKey); });
        return;
    }
    QTableView::keyPressEvent(event);
}

void AttributeTableView::startValueEdit(::EditTrigger trigger)
{
    if (CanStartValueEdit(context_, trigger, edited()))
        editSelectedValue();
}

void AttributeTableView::editSelectedValue()
{
    const int row = rows_.selected();
    if (row < 0)
        return;
    delegate_->setStartText(BeginValueEdit(context_, row, edited()));
    edit(model_->index(row, 0));
}
