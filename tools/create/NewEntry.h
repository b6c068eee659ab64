// One entry the creation dialogs add below the selected node: its RDN with
// the value escaped, its DN, and the attributes of the add request; and the
// way every creation dialog ends an add.
#pragma once

#include "browser/DialogModel.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct AppContext;

class NewEntry {
public:
    // attribute=value, the value escaped as an RDN needs it, below parentDn.
    NewEntry(const std::string& attribute, const std::string& value, std::string parentDn);

    const std::string& rdn() const { return rdn_; }
    const std::string& dn() const { return dn_; }

    // Attributes go in the order they are given, each value whole.
    NewEntry& attribute(std::string type, std::vector<std::string> values);

    // OrnAddSync: 0, a server result code, or a library code.
    int32_t add(AppContext& context) const;

private:
    std::string rdn_;
    std::string dn_;
    std::vector<std::pair<std::string, std::vector<std::string>>> attributes_;
};

// The DN new entries go below: the selected node's, the login's base DN when
// the root is selected. Empty when nothing is selected.
std::string ParentDn(const AppContext& context);

// Sends the add and says how the dialog that asked for it ends. Ok: the DN
// joins the loaded DNs and labelText holds the RDN for the tree. None: the
// server's answer has been shown and logged, and the dialog stays open with
// what was typed. Cancel: the connection is gone, said so; the caller's
// command logs out.
DialogResult AddNewEntry(AppContext& context, const NewEntry& entry, std::string& labelText);
