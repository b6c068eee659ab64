#include "shell/COrnBrowserView.h"

#include "browser/CommandTable.h"
#include "browser/tree/TreeCommands.h"
#include "tools/entries/EntryCommands.h"
#include "shell/AttributeEditDelegate.h"
#include "shell/AttributeTableModel.h"
#include "shell/CSplitterBar.h"
#include "shell/DirectoryTreeModel.h"
#include "shell/DirectoryTreeView.h"
#include "shell/ServerWaitView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMetaObject>
#include <QPersistentModelIndex>
#include <QTableView>
#include <QTreeView>

#include <memory>
#include <optional>
#include <utility>

namespace {

// The command whose key of a pane's own (the attribute list's, which start
// its in-place editor, or the tree's) was pressed.
std::optional<CommandId> paneKey(const QEvent& event, KeyScope scope)
{
    if (event.type() != QEvent::KeyPress)
        return std::nullopt;
    const QKeySequence pressed(static_cast<const QKeyEvent&>(event).keyCombination());
    for (const Command& command : Commands())
        if (command.keyScope == scope)
            for (const char* key : command.keys)
                if (key && QKeySequence::fromString(QLatin1String(key), QKeySequence::PortableText) == pressed)
                    return command.id;
    return std::nullopt;
}

} // namespace

COrnBrowserView::COrnBrowserView(Desktop& desktop, QWidget* parent)
    : QWidget(parent)
    , session_(desktop, std::make_unique<SystemClock>(), Registry())
    , splitter_(new CSplitterBar(this))
    , tree_(new DirectoryTreeView(
          [this](TreeNode& node) {
              const bool may = BeginDrag(context(), node);
              emit stateChanged();
              return may;
          },
          splitter_))
    , attributes_(new QTableView(splitter_))
    , treeModel_(new DirectoryTreeModel(session_.state().tree, this))
    , attributeModel_(new AttributeTableModel(session_.state().attributes, this))
    , editDelegate_(new AttributeEditDelegate(
          [this](const std::optional<std::string>& text) {
              EndValueEdit(context(), text);
              emit stateChanged();
          },
          this))
{
    buildTree();
    buildAttributeList();
}

COrnBrowserView::~COrnBrowserView()
{
    // The panes and their models go before the state they show.
    delete splitter_;
    delete treeModel_;
    delete attributeModel_;
}

QTreeView& COrnBrowserView::tree()
{
    return *tree_;
}

template <class Operation> void COrnBrowserView::later(Operation operation)
{
    ServerWaitView::whenIdle(this, [this, operation = std::move(operation)]() mutable {
        operation();
        emit stateChanged();
    });
}

void COrnBrowserView::buildTree()
{
    tree_->setObjectName("tree");
    tree_->setModel(treeModel_);
    tree_->setHeaderHidden(true);
    tree_->setIconSize(QSize(20, 20));
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A double-click loads children through the core, which then expands the node.
    tree_->setExpandsOnDoubleClick(false);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->installEventFilter(this);

    connect(treeModel_, &DirectoryTreeModel::expansionChanged, this, [this](const QModelIndex& index, bool expanded) {
        following_ = true;
        tree_->setExpanded(index, expanded);
        following_ = false;
    });
    connect(treeModel_, &DirectoryTreeModel::selectionMoved, this, [this](const QModelIndex& index) {
        following_ = true;
        if (index.isValid())
            tree_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        else
            tree_->selectionModel()->clear();
        following_ = false;
    });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (following_ || !current.isValid())
            return;
        later([this, clicked = QPersistentModelIndex(current)] {
            if (clicked.isValid())
                SelectNode(context(), DirectoryTreeModel::nodeAt(clicked));
        });
    });
    connect(treeModel_, &DirectoryTreeModel::dropRequested, this,
        [this](const QPersistentModelIndex& source, const QPersistentModelIndex& target) {
            later([this, source, target] {
                if (source.isValid() && target.isValid())
                    Drop(context(), *DirectoryTreeModel::nodeAt(source), *DirectoryTreeModel::nodeAt(target));
            });
        });
    connect(tree_, &QTreeView::doubleClicked, this, [this] { later([this] { ExpandNode(context()); }); });
    // The branch arrows open and close nodes as the tree control itself would.
    for (auto signal : { &QTreeView::expanded, &QTreeView::collapsed }) {
        const bool expanded = signal == &QTreeView::expanded;
        connect(tree_, signal, this, [this, expanded](const QModelIndex& index) {
            if (following_)
                return;
            TreeNode* node = DirectoryTreeModel::nodeAt(index);
            if (expanded && node->children.empty())
                openUnloaded(index);
            else
                session_.state().tree.setExpanded(node, expanded);
        });
    }
    connect(tree_, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { emit treeMenuRequested(tree_->viewport()->mapToGlobal(at)); });
}

void COrnBrowserView::openUnloaded(const QModelIndex& index)
{
    // The arrow of a node the server says has children: load them as a
    // double-click would, on the node selected first.
    later([this, arrow = QPersistentModelIndex(index)] {
        if (!arrow.isValid())
            return;
        DirectoryTree& tree = session_.state().tree;
        TreeNode* node = DirectoryTreeModel::nodeAt(arrow);
        if (tree.selected() != node)
            SelectNode(context(), node);
        // Selecting finds an entry gone from the server and drops its node.
        if (arrow.isValid() && tree.selected() == node)
            ExpandNode(context());
    });
}

void COrnBrowserView::buildAttributeList()
{
    attributes_->setObjectName("attributes");
    attributes_->setModel(attributeModel_);
    for (int column = 0; column < 3; ++column)
        attributes_->setColumnWidth(column, AttributeTableModel::kColumnWidths[column]);
    attributes_->setShowGrid(true);
    // One line per value, as a list control shows it; long texts are cut short.
    attributes_->setWordWrap(false);
    attributes_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    attributes_->verticalHeader()->setDefaultSectionSize(attributes_->fontMetrics().height() + 6);
    attributes_->verticalHeader()->hide();
    attributes_->horizontalHeader()->setHighlightSections(false);
    // The syntax column takes the room left, so long OIDs stay readable.
    attributes_->horizontalHeader()->setStretchLastSection(true);
    attributes_->setSelectionBehavior(QAbstractItemView::SelectRows);
    attributes_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Edits start only when the core agrees: see startValueEdit.
    attributes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    attributes_->setItemDelegateForColumn(0, editDelegate_);
    attributes_->setContextMenuPolicy(Qt::CustomContextMenu);
    attributes_->installEventFilter(this);

    connect(attributeModel_, &AttributeTableModel::selectionMoved, this, [this](int row) {
        following_ = true;
        if (row >= 0)
            attributes_->selectRow(row);
        else
            attributes_->selectionModel()->clear();
        following_ = false;
    });
    connect(attributes_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            if (!following_) {
                session_.state().attributes.select(current.isValid() ? current.row() : -1);
                emit stateChanged();
            }
        });
    connect(attributes_, &QTableView::doubleClicked, this,
        [this] { later([this] { startValueEdit(EditTrigger::DoubleClick); }); });
    connect(attributes_, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { emit attributeMenuRequested(attributes_->viewport()->mapToGlobal(at)); });
}

bool COrnBrowserView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == attributes_ && paneKey(*event, KeyScope::AttributeList)) {
        later([this] { startValueEdit(EditTrigger::ListKey); });
        return true;
    }
    if (watched == tree_) {
        if (std::optional<CommandId> command = paneKey(*event, KeyScope::Tree)) {
            emit commandRequested(*command);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void COrnBrowserView::startValueEdit(EditTrigger trigger)
{
    if (CanStartValueEdit(context(), trigger))
        editSelectedValue();
}

void COrnBrowserView::editSelectedValue()
{
    const int row = session_.state().attributes.selected();
    if (row < 0)
        return;
    editDelegate_->setStartText(BeginValueEdit(context(), row));
    attributes_->edit(attributeModel_->index(row, 0));
}

void COrnBrowserView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The tree from x 15, the list from the middle less 100 to the right
    // edge, 10 pixels clear above and below; integer division throughout.
    const int cx = width();
    const int cy = height();
    splitter_->setGeometry(15, 10, cx - 15, cy - 20);
    const int listWidth = cx / 2 + 100;
    splitter_->setSizes({ cx - 15 - listWidth - splitter_->handleWidth(), listWidth });
    emit resized(size());
}
