// Where login and logout meet the directory tree and the attribute list of
// the main view. Both are no-ops until the tree and the attribute list exist;
// the tree's code fills them in.
#pragma once

struct AppContext;

// After a login: the root and the first page of entries below the base DN.
void loadDirectoryTree(AppContext& context);

// At logout: selects the root, deletes every tree item and every
// attribute-list row, and forgets the selection. Does nothing when the tree
// is already empty.
void clearDirectoryView(AppContext& context);
