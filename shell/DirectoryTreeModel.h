// The directory tree of the core (DirectoryTree) as a Qt item model: one
// column, each node's label and image. The core model tells it every change;
// the expanded state and the selection, which a Qt view keeps for itself,
// are passed on as signals for the view to follow.
#pragma once

#include "browser/tree/DirectoryTree.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <array>

class DirectoryTreeModel final : public QAbstractItemModel, private TreeObserver {
    Q_OBJECT

public:
    explicit DirectoryTreeModel(DirectoryTree& tree, QObject* parent = nullptr);
    ~DirectoryTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    // Also true before the children are loaded when the server says there are some.
    bool hasChildren(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;

    // Drag and drop within the tree: a drag carries the node's place in the
    // tree; a node takes the drop when the core allows it (DropAllowed),
    // and the drop itself is handed on (dropRequested) for the core to
    // carry out once the drag is over.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    bool canDropMimeData(
        const QMimeData* data, Qt::DropAction action, int row, int column, const QModelIndex& parent) const override;
    bool dropMimeData(
        const QMimeData* data, Qt::DropAction action, int row, int column, const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;

    QModelIndex indexOf(const TreeNode* node) const;
    static TreeNode* nodeAt(const QModelIndex& index);

signals:
    void expansionChanged(const QModelIndex& index, bool expanded);
    void selectionMoved(const QModelIndex& selected);
    void dropRequested(const QPersistentModelIndex& source, const QPersistentModelIndex& target);

private:
    void beginInsertNodes(const TreeNode* parent, int first, int last) override;
    void endInsertNodes() override;
    void beginRemoveNodes(const TreeNode* parent, int first, int last) override;
    void endRemoveNodes() override;
    void nodeChanged(const TreeNode* node) override;
    void selectionChanged(const TreeNode* selected) override;
    // The dragged node a drag's data names, or null.
    TreeNode* draggedNode(const QMimeData* data) const;

    DirectoryTree& tree_;
    std::array<QIcon, 3> images_; // in the order of NodeImage
    const TreeNode* inserting_ = nullptr;
};
