// Labels of tree nodes and the DNs rebuilt from them. The tree keeps no DN
// per node: a node shows its entry's first RDN, and its DN is its label
// followed by the labels of its ancestors up to the root (the base DN).
#pragma once

#include <string>
#include <string_view>

struct TreeNode;

// The label a child entry gets from its DN: its first RDN. A quoted value
// (cn="Smith, John") and a quoted object link (cn=Ref:...) keep their
// quotes and commas; a backslash-escaped comma does not end the RDN.
std::string DnToLabel(std::string_view dn);

// The node's label, then "," and the label of each ancestor up to the root.
std::string BuildFullDn(const TreeNode& node);
