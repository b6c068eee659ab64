// Shared by the tree tests: one slapd per suite holding a base entry with
// nodes made for paging (25, exactly 10 and 3 children), an escaped
// comma and an object link; a session bound as the admin, made by driving
// the service directly; and helpers that walk the tree model.
#pragma once

#include "browser/session/ServerInfo.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "tests/browser/BrowserTest.h"

inline const std::string kBase = SlapdServer::suffix();

// A node big enough to be paged by the server.
inline constexpr int kBigChildren = 2500;

// Children of ou=Paging are p01..p25, of ou=Ten t01..t10, of ou=Big
// b10000..b12499. slapd returns the children of a node shorter RDNs first,
// then in byte order, but a page at a time in the order they were added:
// they are added in the first order, so that both agree.
inline std::string treeLdif()
{
    std::string ldif
        = "dn: " + kBase + "\nobjectClass: dcObject\nobjectClass: organization\ndc: example\no: Example\n\n";
    auto node = [&](const std::string& dn, const std::string& lines) { ldif += "dn: " + dn + "\n" + lines + "\n"; };
    auto role = [&](const std::string& cn, const std::string& parent) {
        node("cn=" + cn + "," + parent, "objectClass: organizationalRole\ncn: " + cn + "\n");
    };
    for (const char* ou : { "Big", "Few", "Ten", "Paging" })
        node("ou=" + std::string(ou) + "," + kBase, "objectClass: organizationalUnit\nou: " + std::string(ou) + "\n");
    for (int i = 0; i < kBigChildren; ++i)
        role("b" + std::to_string(10000 + i), "ou=Big," + kBase);
    auto numbered = [](char prefix, int i) { return prefix + std::string(i < 10 ? "0" : "") + std::to_string(i); };
    for (int i = 1; i <= 10; ++i)
        role(numbered('t', i), "ou=Ten," + kBase);
    for (int i = 1; i <= 25; ++i)
        role(numbered('p', i), "ou=Paging," + kBase);
    std::string few = "ou=Few," + kBase;
    node("ou=Deep," + few, "objectClass: organizationalUnit\nou: Deep\n");
    node("cn=Smith\\, John," + few, "objectClass: organizationalRole\ncn: Smith, John\n");
    node("cn=Ref:cn=\\\"Smith\\, John\\\"," + few,
        "objectClass: OrnObjectLink\ncn: Ref:cn=\"Smith, John\"\nOrnAttrObjectLink: cn=Smith\\, John," + few + "\n");
    role("leaf", "ou=Deep," + few);
    return ldif;
}

inline const std::vector<std::string> kRootChildren { "ou=Big", "ou=Few", "ou=Ten", "ou=Paging" };
// How slapd spells the DNs it returns (RFC 4514 hex escapes).
inline const std::string kSmithLabel = "cn=Smith\\2C John";
inline const std::string kLinkLabel = "cn=Ref:cn\\3D\\22Smith\\2C John\\22";
// The base entry and the 2,543 above.
inline constexpr int kEntriesBelowBase = 44 + kBigChildren;
// The suite's server hands anyone but the admin at most this many entries.
inline constexpr int kSizeLimit = 20;

class TreeTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifText = treeLdif();
        options.sizeLimit = kSizeLimit;
        startServer(options);
    }

    // As a login leaves it, the root DSE read: the suite's slapd pages.
    void logIn(int pageSize = 10, const std::string& baseDn = kBase)
    {
        logInAsAdmin(baseDn);
        ReadServerInfo(context);
        state.pageSize = pageSize;
    }

    // Logged in with the tree loaded and the desktop's records cleared.
    void browse(int pageSize = 10)
    {
        logIn(pageSize);
        LoadTree(context);
        ASSERT_FALSE(state.tree.empty());
        forgetDesktop();
    }

    void forgetDesktop() { desktop = FakeDesktop {}; }

    TreeNode* root() const { return state.tree.root(); }

    // The child of the node with the label; fails the test when there is none.
    static TreeNode* child(TreeNode* parent, const std::string& label)
    {
        TreeNode* node = find(parent, label);
        EXPECT_NE(node, nullptr) << "no child " << label << " under " << parent->label;
        return node ? node : parent;
    }

    // A user's click and double-click.
    void doubleClick(TreeNode* node)
    {
        SelectNode(context, node);
        ExpandNode(context);
    }
};
