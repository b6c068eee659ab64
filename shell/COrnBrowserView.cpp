#include "shell/COrnBrowserView.h"

#include "browser/CommandTable.h"
#include "browser/tree/TreeCommands.h"
#include "tools/entries/EntryCommands.h"
#include "shell/AttributeTableModel.h"
#include "shell/CSplitterBar.h"
#include "shell/CommandActions.h"
#include "shell/DirectoryTreeModel.h"
#include "shell/DirectoryTreeView.h"
#include "shell/ServerWaitView.h"

#include <QMetaObject>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <memory>
#include <optional>
#include <utility>

namespace {

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
    , attributes_(new AttributeTableView(session_.context(), session_.state().attributes, std::nullopt, splitter_))
    , treeModel_(new DirectoryTreeModel(session_.state().tree, this))
{
    buildTree();
    buildAttributeList();
}

COrnBrowserView::~COrnBrowserView()
{
    // The panes and their models go before the state they show.
    delete splitter_;
    delete treeModel_;
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
    for (int column = 0; column < 3; ++column)
        attributes_->setColumnWidth(column, AttributeTableModel::kColumnWidths[column]);
    attributes_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(attributes_, &AttributeTableView::coreChanged, this, &COrnBrowserView::stateChanged);
    connect(attributes_, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { emit attributeMenuRequested(attributes_->viewport()->mapToGlobal(at)); });
}

bool COrnBrowserView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tree_) {
        if (std::optional<CommandId> command = PaneKey(*event, KeyScope::Tree)) {
            emit commandRequested(*command);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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
