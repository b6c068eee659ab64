// Shared by the attribute-editing tests: one slapd per suite holding the
// test directory and entries below ou=Edit (each test changes its own), a
// session bound as the admin with the tree loaded, and the clicks of a user
// in the tree and the attribute list.
#pragma once

#include "browser/properties/AttributeEditing.h"
#include "browser/session/ServerInfo.h"
#include "browser/tree/TreeCommands.h"
#include "tests/browser/BrowserTest.h"

inline const std::string kEditDn = std::string("ou=Edit,") + SlapdServer::suffix();

inline std::string dnOf(const std::string& label) { return label + "," + kEditDn; }

class EditSuite : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        // A person below ou=Edit with the extra attribute lines.
        auto person = [](const std::string& uid, const std::string& lines = {}) {
            return "dn: uid=" + uid + "," + kEditDn + "\nobjectClass: inetOrgPerson\nuid: " + uid + "\ncn: " + uid
                + "\nsn: " + uid + "\n" + lines + "\n";
        };
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.ldifText = "dn: " + kEditDn + "\nobjectClass: organizationalUnit\nou: Edit\n\n" + person("fixed")
            + person("single", "description: old\n")
            + person("several", "mail: a@x\nmail: b@x\nmail: c@x\ntelephoneNumber: 1\ntelephoneNumber: 2\n")
            + person("deleter", "mail: keep@x\nmail: drop@x\n") + person("lost", "mail: l@x\n");
        for (const char* uid : { "yes", "no", "comma", "cancel", "adder" })
            options.ldifText += person(uid);
        startServer(options);
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

    // The list's first row of the attribute with the value (any value when
    // null), or -1.
    int row(const std::string& name, const char* value) const
    {
        const auto& rows = state.attributes.rows();
        auto found = std::find_if(rows.begin(), rows.end(),
            [&](const AttributeRow& r) { return r.name == name && (!value || r.value == value); });
        return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
    }
    int row(const std::string& name, const std::string& value) const { return row(name, value.c_str()); }

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
    Strings serverValues(const std::string& dn, const std::string& attribute)
    {
        HeldResult result;
        Strings values;
        if (service.OrnSearchSync(dn.c_str(), "objectclass=*", nullptr, 0, 0, result.place()) == 0)
            values = AttributeValues(result.get(), attribute);
        std::sort(values.begin(), values.end());
        return values;
    }
};
