// The steps the entry operations share: the searches that tell a leaf from
// a container, find the object links and list a subtree; the entry copy
// and the move; and the tree updates after an entry moved or went.
// Private to tools/entries/.
//
// A search or request that fails has been reported when these return: a
// refusal in the "Server Response" box, a lost connection by the logout
// that follows it (the tree is empty then).
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct AppContext;
struct TreeNode;

// The DN of a tree node: the base DN for the root.
std::string BuildFullDn(const TreeNode& node);

// Whether the entry has children, asking the server for at most one.
std::optional<bool> HasChildren(AppContext& context, const std::string& dn);

// An object link below the base DN: its own DN and the key (DnKey) of the
// DN it names.
struct ObjectLink {
    std::string dn;
    std::string targetKey;
};
// Every object link below the base DN, in one search. A search cut short
// by a limit counts as failed: links left behind would name nothing.
std::optional<std::vector<ObjectLink>> FindObjectLinks(AppContext& context);
// The DNs of the links that name one of the keys, in the search's order,
// leaving out links that are themselves among the keys.
std::vector<std::string> LinksNaming(const std::vector<ObjectLink>& links, const std::set<std::string>& keys);

// The DNs of the entry and everything below it, deepest first: an entry
// comes after all of its children, whatever order the server sent them in.
// A list cut short by a limit is reported and counts as failed.
std::optional<std::vector<std::string>> SubtreeDnsDeepestFirst(AppContext& context, const std::string& dn);

// Reads the source and adds it as labelText,destinationDn: every attribute
// the user may read, each type once with all its values in the order
// received, byte for byte. The server's code (0 for success; a refusal or a
// lost connection has been reported).
int32_t CopyEntry(AppContext& context, const std::string& sourceDn, const std::string& destinationDn);
// Moves the entry below destinationDn with one Modify DN request, so that
// it keeps every attribute, those the user may not read included.
int32_t MoveEntry(AppContext& context, const std::string& sourceDn, const std::string& destinationDn);

// The shown node of the DN, or null when the tree does not show it.
TreeNode* FindNode(AppContext& context, const std::string& dn);
// After a paste or a drop: the entry's node under the target, where it
// arrived, and gone from its old place when it moved. Returns the new node.
TreeNode* ShowPlaced(AppContext& context, TreeNode& target, const std::string& sourceDn, bool moved);
// Removes the node from the tree; a parent left without children shows as
// a leaf (the root keeps its image).
void RemoveNode(AppContext& context, TreeNode& node);
// Deletes the links (results ignored but a lost connection) and takes their
// nodes out of the tree. False when the connection was lost on the way.
bool DeleteLinks(AppContext& context, const std::vector<std::string>& linkDns);
