#include "shell/DirectoryTreeView.h"

#include "shell/DirectoryTreeModel.h"

#include <QDrag>
#include <QMimeData>

#include <utility>

DirectoryTreeView::DirectoryTreeView(std::function<bool(TreeNode&)> beginDrag, QWidget* parent)
    : QTreeView(parent)
    , beginDrag_(std::move(beginDrag))
{
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    // A drop lands on a node, never between two.
    setDragDropOverwriteMode(true);
    setDropIndicatorShown(true);
}

void DirectoryTreeView::startDrag(Qt::DropActions)
{
    const QModelIndex index = currentIndex();
    TreeNode* node = DirectoryTreeModel::nodeAt(index);
    if (!node || !beginDrag_(*node))
        return;
    const QRect row = visualRect(index).intersected(viewport()->rect());
    // Qt takes the drag and deletes it when the drag is over.
    auto* drag = new QDrag(this);
    drag->setMimeData(model()->mimeData({ index }));
    drag->setPixmap(viewport()->grab(row));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - row.topLeft());
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}
