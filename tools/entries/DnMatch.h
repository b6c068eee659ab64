// DNs compared as DNs rather than as text: "uid=Bob, OU=People" and
// "uid=bob,ou=people" name the same entry, and so do "cn=A\,B" and
// "cn=A\2CB". The entry operations use this wherever two DNs meet: the
// links of an entry, a paste onto its own source, a node of the tree.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The RDNs of a DN in order, each as written. A comma or semicolon ends an
// RDN unless it is escaped with a backslash or stands inside quotes.
std::vector<std::string> SplitRdns(std::string_view dn);

// A text equal for two DNs exactly when they name the same entry: for each
// RDN its attribute types in lower case, its values with their escapes and
// quotes undone, blanks around the separators dropped and ASCII folded to
// lower case, the values of a multi-valued RDN in one order. Attribute types
// given as OIDs are not mapped to their names.
std::string DnKey(std::string_view dn);

bool SameDn(std::string_view a, std::string_view b);

// The number of RDNs: 1 for "dc=com", 0 for the empty DN.
std::size_t DnDepth(std::string_view dn);

// The DN without its first RDN, as written: "ou=People,dc=com" for
// "uid=bob,ou=People,dc=com"; empty for one RDN.
std::string SuperiorDn(std::string_view dn);
