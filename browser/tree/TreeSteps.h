// The steps the tree commands share: the one-level search of a node's
// children into the general result slot, the batches of child DNs taken from
// it, their insertion as tree nodes, and the selection state of a node.
// Private to the Tree*.cpp files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct AppContext;
struct EntryRecord;
struct TreeNode;
class Desktop;

inline constexpr int32_t kScopeOneLevel = 1;
inline constexpr int32_t kScopeSubtree = 2;

// One child as the search returned it: its DN, and whether it has children
// of its own when the server says so.
struct Child {
    std::string dn;
    std::optional<bool> hasChildren;
};
// One batch of children, in result order.
using ChildList = std::vector<Child>;

// OrnSearchSync of the DN with the filter "objectclass=*", asking only for
// hasSubordinates and numSubordinates: the tree needs no other attribute.
int32_t SearchTree(AppContext& context, const std::string& dn, int32_t scope, EntryRecord** result);

// How a search of a node's children ended: true when there are entries to
// take, also when a limit cut the list short (the user is told so); false
// once a refusal or failure has been reported (after a transport failure
// the view is logged out).
bool ChildrenArrived(AppContext& context, int32_t code);

// Searches the DN's children into the general result slot: the first page
// when the server pages (an unfinished paged search of any node is
// abandoned first), else all of them. Returns the search's code, for
// ChildrenArrived; when there are entries to take, sets the child count.
int32_t FetchChildList(AppContext& context, const std::string& dn);
// FetchChildList, then the progress range.
int32_t SearchChildren(AppContext& context, const std::string& dn);
// The held one-level search of the DN, when the general slot still holds it
// (no command has used the slot since) and it is at most a few seconds old:
// the double-click that follows a click then needs no search of its own.
bool HeldChildrenFresh(const AppContext& context, const std::string& dn);
// The next page of the held node's children into the general slot, after
// the cookie. The search's code; after a failure nothing is left to page.
int32_t FetchNextPage(AppContext& context);
// Tells the server to drop the unfinished paged search, if there is one.
void AbandonPages(AppContext& context);
// Entries below the DN (itself included), counted page by page when the
// server pages so that no more than a page is held; the search's code.
int32_t CountSubtree(AppContext& context, const std::string& dn, int* count);

// Whether the node shows every child: Show Next has nothing to add.
bool AllShown(const AppContext& context, int shown);
// The status bar as a tree command ends: the limit that cut its list short,
// if one did, else the text.
void RestStatus(AppContext& context, const char* text);

// The first page of the held result: the "first %d entries" notice when the
// children fill a page, the DNs added to the loaded-DN list, the page
// offset, the no-more-entries flag and the Show Next cursor.
ChildList TakeFirstPage(AppContext& context);

// Every child of the held node, the pages after the held one fetched in
// turn; failed when a page failed (reported; after a transport failure the
// view is logged out).
ChildList TakeAllChildren(AppContext& context, bool& failed);

// Adds one node per DN, labelled by DnToLabel, after the parent's last child,
// stepping the progress bar; then moves it to the child count. A child the
// server says has none shows as a leaf.
void AppendChildren(AppContext& context, TreeNode& parent, const ChildList& children);

// The batch goes under a new root (the base DN) while there is none, else
// under the selected node, or the root when nothing is selected.
void InsertChildren(AppContext& context, const ChildList& children);

// Up to count children from `from` on, each DN added to the loaded-DN list.
// Returns the entry after the last one taken.
const EntryRecord* TakeDns(AppContext& context, const EntryRecord* from, int count, ChildList& children);

// Entries in the result, the end-of-search node not counted.
int EntryCount(AppContext& context, EntryRecord* result);

// The progress bar before a batch: range 0 to count, step 1.
void StartProgress(Desktop& desktop, int count);

// Label, full DN, parent and root labels and level of the node.
void RecordSelection(AppContext& context, const TreeNode& node);

// The page size, at least one entry.
int PageSize(const AppContext& context);
