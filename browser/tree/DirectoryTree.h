// The directory tree of the main view as a core model: nodes with a label,
// an image, an expanded state and their children, and the selected node.
// The tree keeps no DN per node; a node's DN is rebuilt from the labels on
// its path (BuildFullDn). Observers hear of every change so that a view
// (the shell's item model) can follow it; the model itself decides nothing.
//
// Nodes are owned by the tree and stay at one address until removed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class NodeImage { Root, Container, Leaf };

struct TreeNode {
    std::string label;
    NodeImage image = NodeImage::Container;
    bool expanded = false;
    // What the server told of children before any were loaded; unknown when
    // it answers neither hasSubordinates nor numSubordinates.
    std::optional<bool> serverSaysChildren;
    TreeNode* parent = nullptr;
    std::vector<std::unique_ptr<TreeNode>> children;

    // Position among the parent's children (0 for the root).
    int row() const;
};

// Insertions and removals come in begin/end pairs, so an item model can
// announce them before and after they happen. The root has a null parent.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void beginInsertNodes(const TreeNode* parent, int first, int last) = 0;
    virtual void endInsertNodes() = 0;
    virtual void beginRemoveNodes(const TreeNode* parent, int first, int last) = 0;
    virtual void endRemoveNodes() = 0;
    // The label, the image, the expanded state or what the server says of
    // children changed.
    virtual void nodeChanged(const TreeNode* node) = 0;
    virtual void selectionChanged(const TreeNode* selected) = 0;
};

class DirectoryTree {
public:
    DirectoryTree() = default;
    DirectoryTree(const DirectoryTree&) = delete;
    DirectoryTree& operator=(const DirectoryTree&) = delete;

    TreeNode* root() const { return root_.get(); }
    TreeNode* selected() const { return selected_; }
    bool empty() const { return !root_; }

    // Replaces the whole tree by a lone root.
    TreeNode* setRoot(std::string label, NodeImage image);
    // Adds a child after the last one.
    TreeNode* append(
        TreeNode* parent, std::string label, NodeImage image, std::optional<bool> serverSaysChildren = std::nullopt);
    // Adds a child at its alphabetical place (ignoring case), after equal labels.
    TreeNode* insertSorted(TreeNode* parent, std::string label, NodeImage image);
    // Removes the node and its subtree; a selection inside it is cleared.
    void remove(TreeNode* node);
    void removeChildren(TreeNode* node);
    void clear();

    void setImage(TreeNode* node, NodeImage image);
    void setExpanded(TreeNode* node, bool expanded);
    void setServerSaysChildren(TreeNode* node, std::optional<bool> says);
    // Records the selection; null selects nothing. The commands that react to
    // a selection (OnSelectionChanged) are run by the caller, not from here.
    void select(TreeNode* node);

    void addObserver(TreeObserver* observer);
    void removeObserver(TreeObserver* observer);

private:
    TreeNode* insertAt(TreeNode* parent, std::size_t position, std::string label, NodeImage image,
        std::optional<bool> serverSaysChildren = std::nullopt);
    void removeRange(TreeNode* parent, std::size_t first, std::size_t last);
    void dropSelectionWithin(const TreeNode* node);
    template <class Call> void notify(Call call);
    // Sets the node's field and tells the observers, unless it holds the value already.
    template <class Value> void change(TreeNode* node, Value TreeNode::*field, Value value);

    std::unique_ptr<TreeNode> root_;
    TreeNode* selected_ = nullptr;
    std::vector<TreeObserver*> observers_;
};
