// The directory tree's view: a QTreeView from which the user drags one node
// onto another. Before a drag starts the core is asked whether the node may
// go (BeginDrag, which asks the server and explains a refusal); the drag
// image is the node as the tree draws it. Which node may take the drop, and
// the drop itself, are the model's (DirectoryTreeModel): Qt shows the
// refusal cursor wherever the model refuses, and a frame around the node
// under the pointer where it accepts.
#pragma once

#include <QTreeView>

#include <functional>

struct TreeNode;

class DirectoryTreeView final : public QTreeView {
    Q_OBJECT

public:
    DirectoryTreeView(std::function<bool(TreeNode&)> beginDrag, QWidget* parent);

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    std::function<bool(TreeNode&)> beginDrag_;
};
