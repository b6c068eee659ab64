// Shared by the attribute-editing tests: one slapd per suite holding the
// test directory and entries below ou=Edit (each test changes its own), a
// session bound as the admin with the tree loaded, and the clicks of a user
// in the tree and the attribute list.
#pragma once

#include "browser/properties/AttributeEditing.h"
#include "browser/session/ServerInfo.h"
#include "browser/tree/TreeCommands.h"
#include "tests/support/CoreSession.h"
#include "tests/support/SlapdServer.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

inline const std::string kEditDn = std::string("ou=Edit,") + SlapdServer::suffix();

// LDIF of a person below ou=Edit with the extra attribute lines.
inline std::string editPerson(const std::string& uid, const std::string& lines = {})
{
    return "dn: uid=" + uid + "," + kEditDn + "\nobjectClass: inetOrgPerson\nuid: " + uid + "\ncn: " + uid
        + "\nsn: " + uid + "\n" + lines + "\n";
}

class EditSuite : public CoreSessionTest {
protected:
    static void startServer(const std::string& entries)
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.ldifText = "dn: " + kEditDn + "\nobjectClass: organizationalUnit\nou: Edit\n\n" + entries;
        CoreSessionTest::startServer(options);
    }

    // Logged in as the admin with the tree loaded; the desktop's records start empty.
    void browse()
    {
        logInAsAdmin();
        ReadServerInfo(context);
        LoadTree(context);
        ASSERT_FALSE(state.tree.empty());
        desktop = FakeDesktop {};
    }

    // Selects the node of ou=Edit's child; null when there is none.
    TreeNode* select(const std::string& label)
    {
        TreeNode* edit = find(state.tree.root(), "ou=Edit");
        if (edit && edit->children.empty()) {
            SelectNode(context, edit);
            ExpandNode(context);
        }
        TreeNode* node = edit ? find(edit, label) : nullptr;
        if (node)
            SelectNode(context, node);
        return node;
    }
    static TreeNode* find(TreeNode* parent, const std::string& label)
    {
        for (const auto& node : parent->children)
            if (node->label == label)
                return node.get();
        return nullptr;
    }

    // The list's row of the attribute's value, or -1.
    int row(const std::string& name, const std::string& value) const
    {
        const auto& rows = state.attributes.rows();
        auto found = std::find_if(
            rows.begin(), rows.end(), [&](const AttributeRow& r) { return r.name == name && r.value == value; });
        return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
    }

    // Edit Attribute on the row, and the text typed into the editor.
    void edit(int index, const std::string& text)
    {
        state.attributes.select(index);
        ASSERT_TRUE(CanStartValueEdit(context, EditTrigger::Command));
        BeginValueEdit(context, index);
        EndValueEdit(context, text);
    }

    // The server's values, sorted, read over the session: the library
    // allows one connection per process.
    std::vector<std::string> serverValues(const std::string& dn, const std::string& attribute)
    {
        HeldResult result;
        std::vector<std::string> values;
        if (service.OrnSearchSync(dn.c_str(), "objectclass=*", nullptr, 0, 0, result.place()) == 0)
            values = AttributeValues(result.get(), attribute);
        std::sort(values.begin(), values.end());
        return values;
    }
};
