#include "shell/DirectoryTreeModel.h"

#include "shell/ShellIcons.h"
#include "tools/entries/EntryCommands.h"

#include <QMimeData>

namespace {

// The rows from the root down to the dragged node, as "0/2/1". Only this
// program's own drags carry it.
constexpr const char* kNodeMime = "application/x-velmora-tree-node";

} // namespace

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

Qt::ItemFlags DirectoryTreeModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled : flags;
}

QStringList DirectoryTreeModel::mimeTypes() const
{
    return { QLatin1String(kNodeMime) };
}

QMimeData* DirectoryTreeModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty() || !indexes.front().isValid())
        return nullptr;
    QStringList rows;
    for (QModelIndex walk = indexes.front(); walk.isValid(); walk = walk.parent())
        rows.prepend(QString::number(walk.row()));
    auto* data = new QMimeData;
    data->setData(QLatin1String(kNodeMime), rows.join(QLatin1Char('/')).toLatin1());
    return data;
}

TreeNode* DirectoryTreeModel::draggedNode(const QMimeData* data) const
{
    if (!data || !data->hasFormat(QLatin1String(kNodeMime)))
        return nullptr;
    QModelIndex index;
    for (const QString& row : QString::fromLatin1(data->data(QLatin1String(kNodeMime))).split(QLatin1Char('/'))) {
        bool number = false;
        index = this->index(row.toInt(&number), 0, index);
        if (!number || !index.isValid())
            return nullptr;
    }
    return nodeAt(index);
}

bool DirectoryTreeModel::canDropMimeData(
    const QMimeData* data, Qt::DropAction action, int row, int, const QModelIndex& parent) const
{
    const TreeNode* source = draggedNode(data);
    return action == Qt::MoveAction && row < 0 && source && DropAllowed(*source, nodeAt(parent));
}

bool DirectoryTreeModel::dropMimeData(
    const QMimeData* data, Qt::DropAction action, int row, int column, const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    emit dropRequested(QPersistentModelIndex(indexOf(draggedNode(data))), QPersistentModelIndex(parent));
    return true;
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
