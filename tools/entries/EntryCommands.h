// The entry operations of the main view: Delete of a leaf entry or of a
// container with its whole subtree, Cut, Copy and Paste of leaf entries,
// Copy Object Link and Paste Object Link, and moving a leaf entry by
// dragging it onto another node of the tree.
//
// A copy reads the source and adds an entry with the same values below the
// destination; a move (Cut then Paste, or a drop) is one Modify DN request
// that names the new superior, so the entry keeps everything it holds,
// attributes the user may not read and operational ones (entryUUID)
// included. An entry that an object link names cannot be cut or dragged;
// deleting an entry deletes the links that name it.
//
// Every command works on the view's state (the tree's selection and the
// clipboard of ViewState) and reports through CommandReports.h. A transport
// failure ends in the connection-lost logout; after it the tree is empty.
#pragma once

struct AppContext;
struct TreeNode;

void CutCommand(AppContext& context);
void CopyCommand(AppContext& context);
void PasteCommand(AppContext& context);
void CopyObjectLinkCommand(AppContext& context);
void PasteObjectLinkCommand(AppContext& context);
// Delete Object, and the Delete key in the tree.
void DeleteObjectCommand(AppContext& context);

// Whether the node may be dragged, asking the server; false after saying
// why not (the root, a container, an entry an object link names).
bool BeginDrag(AppContext& context, TreeNode& node);
// Whether a drag of source may end on target: neither the node itself nor
// its parent (where it is already). Asks nothing of the server.
bool DropAllowed(const TreeNode& source, const TreeNode* target);
// Moves the dragged entry below the target's entry and shows it there.
void Drop(AppContext& context, TreeNode& source, TreeNode& target);
