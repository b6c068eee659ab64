// Shared by the attribute-editing tests: one slapd per suite holding the
// test directory and entries below ou=Edit (each test changes its own), a
// session bound as the admin with the tree loaded, and the clicks of a user
// in the tree and the attribute list.
#pragma once

#include "browser/properties/AttributeEditing.h"
#include "browser/session/ServerInfo.h"
#include "browser/tree/TreeCommands.h"
#include "tests/browser/BrowserTest.h"
#include "tests/support/Bytes.h"

#include <optional>

inline const std::string kEditDn = std::string("ou=Edit,") + SlapdServer::suffix();

inline std::string dnOf(const std::string& label) { return label + "," + kEditDn; }

// A PNG's signature, then bytes of every value, zero included.
inline std::string photoBytes()
{
    std::string bytes = "\x89PNG\r\n\x1A\n";
    for (int i = 0; bytes.size() < 2912; ++i)
        bytes += static_cast<char>(i * 7);
    return bytes;
}

// A self-signed certificate (slapd checks the syntax); a zero byte at 156.
inline std::string certificateBytes()
{
    const Bytes der = hex(
        "308201843082012ba003020102021416409faa331c4bd9bb58416f28b77f90ff0f5aad300a06082a8648ce3d04030230"
        "173115301306035504030c0c56656c6d6f726120546573743020170d3236313230373034333430355a180f3231323631"
        "3131333034333430355a30173115301306035504030c0c56656c6d6f726120546573743059301306072a8648ce3d0201"
        "06082a8648ce3d030107034200045b4806da49bac8416dc27721162e9f5ef5a10fc5ceef572eac3bb1ec4506ffc1659a"
        "d4b2374d3ab868945a87a0988fe37b5a44d93c4e55664af098c9ea2cbe11a3533051301d0603551d0e04160414bae202"
        "e47fb3c497b8fe338c6dd969ee28df6236301f0603551d23041830168014bae202e47fb3c497b8fe338c6dd969ee28df"
        "6236300f0603551d130101ff040530030101ff300a06082a8648ce3d0403020347003044022012ff0869bd85a90d6fb6"
        "31fe99a778d3754037923a9d57ca20b8c51852a39c32022054f23a0a128ddbb7dbedec3809d33599e99a9ae3e5eb13e6"
        "8911d3f8f759b209");
    return { der.begin(), der.end() };
}

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
            + person("deleter", "mail: keep@x\nmail: drop@x\n") + person("lost", "mail: l@x\n")
            + person("hung", "mail: h@x\nmail: d@x\n");
        for (const char* uid : { "yes", "no", "comma", "cancel", "adder" })
            options.ldifText += person(uid);
        options.ldifText += person("photo",
                                "jpegPhoto:: " + base64(photoBytes()) + "\nuserCertificate;binary:: "
                                    + base64(certificateBytes()) + "\n")
            + person("refused", "description: held\n") + person("pair", "telephoneNumber: 1\ntelephoneNumber: 2\n");
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

    // The list's first row of the attribute with the value, bytes compared
    // whole (any value when none is given), or -1.
    int row(const std::string& name, const std::optional<std::string>& value = std::nullopt) const
    {
        const auto& rows = state.attributes.rows();
        auto found = std::find_if(rows.begin(), rows.end(),
            [&](const AttributeRow& r) { return r.name == name && (!value || r.value == *value); });
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
