// The commands of the directory tree: loading the root and its first page,
// expanding a node, following the selection, further pages (Show Next),
// refreshing a node or the whole tree, counting, and the insertion of one
// new node that other commands use after they created or moved an entry.
//
// Every command works on the view's state (ViewState: tree, selection,
// paging, the general result slot) and reports through CommandReports.h. A
// transport failure ends in the connection-lost logout; after it the tree
// is empty and the command returns at once.
#pragma once

#include <string>

struct AppContext;
struct TreeNode;

// Empties the tree and the attribute list, loads the root and the first page
// of its children, then reads the schema's attribute types. After a login
// and for Refresh Tree.
void LoadTree(AppContext& context);

// A double-click on the selected node: the first page of its children, or a
// toggle of a node that already shows children; a node without children
// becomes a leaf.
void ExpandNode(AppContext& context);

// Selects the node in the tree model, then runs OnSelectionChanged.
void SelectNode(AppContext& context, TreeNode* node);
// After the tree's selection changed: the selection state, the entry's
// attributes, and the one-level search that Show Next pages through.
void OnSelectionChanged(AppContext& context);

void ShowNext(AppContext& context);
void RefreshNode(AppContext& context);
void RefreshTree(AppContext& context);
void CountEntries(AppContext& context);

// Inserts one leaf labelled with the text under the target (at its
// alphabetical place), gives the target the root or container image,
// expands it and clears the text. Returns the new node; an empty text
// inserts nothing. The selection stays as it is.
TreeNode* InsertChildNode(AppContext& context, TreeNode& target, std::string& labelText);
