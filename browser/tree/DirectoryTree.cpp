#include "browser/tree/DirectoryTree.h"

#include <algorithm>
#include <strings.h>

int TreeNode::row() const
{
    if (!parent)
        return 0;
    const auto& siblings = parent->children;
    auto found = std::find_if(siblings.begin(), siblings.end(), [this](const auto& child) { return child.get() == this; });
    return static_cast<int>(found - siblings.begin());
}

template <class Call> void DirectoryTree::notify(Call call)
{
    for (TreeObserver* observer : observers_)
        call(*observer);
}

TreeNode* DirectoryTree::setRoot(std::string label, NodeImage image)
{
    clear();
    notify([](TreeObserver& o) { o.beginInsertNodes(nullptr, 0, 0); });
    root_ = std::make_unique<TreeNode>();
    root_->label = std::move(label);
    root_->image = image;
    notify([](TreeObserver& o) { o.endInsertNodes(); });
    return root_.get();
}

TreeNode* DirectoryTree::insertAt(
    TreeNode* parent, std::size_t position, std::string label, NodeImage image, std::optional<bool> serverSaysChildren)
{
    int row = static_cast<int>(position);
    notify([&](TreeObserver& o) { o.beginInsertNodes(parent, row, row); });
    auto node = std::make_unique<TreeNode>();
    node->label = std::move(label);
    node->image = image;
    node->serverSaysChildren = serverSaysChildren;
    node->parent = parent;
    TreeNode* added = node.get();
    parent->children.insert(parent->children.begin() + static_cast<std::ptrdiff_t>(position), std::move(node));
    notify([](TreeObserver& o) { o.endInsertNodes(); });
    return added;
}

TreeNode* DirectoryTree::append(
    TreeNode* parent, std::string label, NodeImage image, std::optional<bool> serverSaysChildren)
{
    return insertAt(parent, parent->children.size(), std::move(label), image, serverSaysChildren);
}

TreeNode* DirectoryTree::insertSorted(TreeNode* parent, std::string label, NodeImage image)
{
    auto& siblings = parent->children;
    auto place = std::find_if(siblings.begin(), siblings.end(), [&](const auto& child) {
        return strcasecmp(child->label.c_str(), label.c_str()) > 0;
    });
    return insertAt(parent, static_cast<std::size_t>(place - siblings.begin()), std::move(label), image);
}

void DirectoryTree::dropSelectionWithin(const TreeNode* node)
{
    for (const TreeNode* walk = selected_; walk; walk = walk->parent)
        if (walk == node) {
            select(nullptr);
            return;
        }
}

void DirectoryTree::removeRange(TreeNode* parent, std::size_t first, std::size_t last)
{
    int from = static_cast<int>(first);
    int to = static_cast<int>(last);
    notify([&](TreeObserver& o) { o.beginRemoveNodes(parent, from, to); });
    if (parent) {
        auto begin = parent->children.begin();
        parent->children.erase(begin + static_cast<std::ptrdiff_t>(first),
                               begin + static_cast<std::ptrdiff_t>(last) + 1);
    } else {
        root_.reset();
    }
    notify([](TreeObserver& o) { o.endRemoveNodes(); });
}

void DirectoryTree::remove(TreeNode* node)
{
    dropSelectionWithin(node);
    std::size_t row = static_cast<std::size_t>(node->row());
    removeRange(node->parent, row, row);
}

void DirectoryTree::removeChildren(TreeNode* node)
{
    if (node->children.empty())
        return;
    for (const auto& child : node->children)
        dropSelectionWithin(child.get());
    removeRange(node, 0, node->children.size() - 1);
}

void DirectoryTree::clear()
{
    if (root_)
        remove(root_.get());
}

template <class Value> void DirectoryTree::change(TreeNode* node, Value TreeNode::*field, Value value)
{
    if (node->*field == value)
        return;
    node->*field = std::move(value);
    notify([node](TreeObserver& o) { o.nodeChanged(node); });
}

void DirectoryTree::setImage(TreeNode* node, NodeImage image)
{
    change(node, &TreeNode::image, image);
}

void DirectoryTree::setExpanded(TreeNode* node, bool expanded)
{
    change(node, &TreeNode::expanded, expanded);
}

void DirectoryTree::setServerSaysChildren(TreeNode* node, std::optional<bool> says)
{
    change(node, &TreeNode::serverSaysChildren, says);
}

void DirectoryTree::select(TreeNode* node)
{
    if (selected_ == node)
        return;
    selected_ = node;
    notify([node](TreeObserver& o) { o.selectionChanged(node); });
}

void DirectoryTree::addObserver(TreeObserver* observer)
{
    observers_.push_back(observer);
}

void DirectoryTree::removeObserver(TreeObserver* observer)
{
    std::erase(observers_, observer);
}
