#include "shell/DirectoryTreeModel.h"

#include "shell/ShellIcons.h"

DirectoryTreeModel::DirectoryTreeModel(DirectoryTree& tree, QObject* parent)
    : QAbstractItemModel(parent)
    , tree_(tree)
    , images_ { ShellIcon("tree-root"), ShellIcon("tree-container"), ShellIcon("tree-leaf") }
{
    tree_.addObserver(this);
}

DirectoryTreeModel::~DirectoryTreeModel()
{
    tree_.removeObserver(this);
}

TreeNode* DirectoryTreeModel::nodeAt(const QModelIndex& index)
{
    return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex DirectoryTreeModel::indexOf(const TreeNode* node) const
{
    return node ? createIndex(node->row(), 0, const_cast<TreeNode*>(node)) : QModelIndex();
}

QModelIndex DirectoryTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && tree_.root() ? indexOf(tree_.root()) : QModelIndex();
    const TreeNode* node = nodeAt(parent);
    if (row >= static_cast<int>(node->children.size()))
        return {};
    return createIndex(row, 0, node->children[static_cast<std::size_t>(row)].get());
}

QModelIndex DirectoryTreeModel::parent(const QModelIndex& child) const
{
    const TreeNode* node = nodeAt(child);
    return node ? indexOf(node->parent) : QModelIndex();
}

int DirectoryTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return tree_.root() ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    return static_cast<int>(nodeAt(parent)->children.size());
}

bool DirectoryTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid() || parent.column() != 0)
        return rowCount(parent) > 0;
    const TreeNode* node = nodeAt(parent);
    return !node->children.empty() || node->serverSaysChildren.value_or(false);
}

int DirectoryTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant DirectoryTreeModel::data(const QModelIndex& index, int role) const
{
    const TreeNode* node = nodeAt(index);
    if (!node)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(node->label);
    if (role == Qt::DecorationRole)
        return images_[static_cast<std::size_t>(node->image)];
    return {};
}

void DirectoryTreeModel::beginInsertNodes(const TreeNode* parent, int first, int last)
{
    inserting_ = parent;
    beginInsertRows(indexOf(parent), first, last);
}

void DirectoryTreeModel::endInsertNodes()
{
    endInsertRows();
    // A node the core expanded before it had children opens once they arrive.
    if (inserting_ && inserting_->expanded)
        emit expansionChanged(indexOf(inserting_), true);
    inserting_ = nullptr;
}

void DirectoryTreeModel::beginRemoveNodes(const TreeNode* parent, int first, int last)
{
    beginRemoveRows(indexOf(parent), first, last);
}

void DirectoryTreeModel::endRemoveNodes()
{
    endRemoveRows();
}

void DirectoryTreeModel::nodeChanged(const TreeNode* node)
{
    QModelIndex changed = indexOf(node);
    emit dataChanged(changed, changed);
    emit expansionChanged(changed, node->expanded);
}

void DirectoryTreeModel::selectionChanged(const TreeNode* selected)
{
    emit selectionMoved(indexOf(selected));
}
