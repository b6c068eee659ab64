// Where login and logout meet the directory tree and the attribute list of
// the main view.
#pragma once

struct AppContext;

// After a login: the root and the first page of entries below the base DN.
void loadDirectoryTree(AppContext& context);

// At logout: deletes every tree item and every attribute-list row, and
// forgets the selection, the paging and editing state, the loaded DNs, the
// clipboard and the schema lists.
void clearDirectoryView(AppContext& context);
