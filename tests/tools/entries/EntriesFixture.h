// Shared by the entry-operation tests: a slapd with the test directory, the
// object-link schema and the entries below, access rules for a user who may
// write but not read userPassword, and a session with the tree loaded.
#pragma once

#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"
#include "tests/tools/create/CreateFixture.h"
#include "tools/entries/EntryCommands.h"

#include <string>

namespace entries {

inline const std::string kBase = SlapdServer::suffix();
inline const std::string kMover = "uid=mover,ou=People," + kBase;

// Each test works in containers of its own, so that the order the tests run
// in does not matter when they share the server.
inline const std::string kEntries = R"(
dn: uid=mover,ou=People,dc=example,dc=com
objectClass: inetOrgPerson
uid: mover
cn: Mover
sn: Mover
userPassword: mover-pw

# The same RDN as bob of People, with a link of its own; and a link to
# People's bob written in another case and spacing.
dn: ou=Alumni,dc=example,dc=com
objectClass: organizationalUnit
ou: Alumni

dn: uid=bob,ou=Alumni,dc=example,dc=com
objectClass: inetOrgPerson
uid: bob
cn: Bob Baker
sn: Baker

dn: cn=Ref:uid=bob,ou=Groups,dc=example,dc=com
objectClass: OrnObjectLink
cn: Ref:uid=bob
OrnAttrObjectLink: uid=bob,ou=Alumni,dc=example,dc=com

dn: cn=Ref:Bob,ou=Alumni,dc=example,dc=com
objectClass: OrnObjectLink
cn: Ref:Bob
OrnAttrObjectLink: UID=Bob, OU=people,DC=Example,DC=com

# Names that a text filter would read as a pattern or cut at the comma.
dn: ou=Names,dc=example,dc=com
objectClass: organizationalUnit
ou: Names

dn: cn=A*,ou=Names,dc=example,dc=com
objectClass: organizationalRole
cn: A*

dn: cn=AB,ou=Names,dc=example,dc=com
objectClass: organizationalRole
cn: AB

dn: cn=Doe\, Jane,ou=Names,dc=example,dc=com
objectClass: organizationalRole
cn: Doe, Jane

dn: cn=Ref:cn=A*,ou=Names,dc=example,dc=com
objectClass: OrnObjectLink
cn: Ref:cn=A*
OrnAttrObjectLink: cn=A*,ou=Names,dc=example,dc=com

dn: cn=Ref:cn=AB,ou=Names,dc=example,dc=com
objectClass: OrnObjectLink
cn: Ref:cn=AB
OrnAttrObjectLink: cn=AB,ou=Names,dc=example,dc=com

dn: cn=Ref:cn=Doe\\\, Jane,ou=Names,dc=example,dc=com
objectClass: OrnObjectLink
cn: Ref:cn=Doe\, Jane
OrnAttrObjectLink: cn=Doe\, Jane,ou=Names,dc=example,dc=com

# A subtree whose first entry the test moves into a younger container, and
# links into it from inside and outside.
dn: ou=Archive,dc=example,dc=com
objectClass: organizationalUnit
ou: Archive

dn: cn=early,ou=Archive,dc=example,dc=com
objectClass: organizationalRole
cn: early

dn: ou=Box,ou=Archive,dc=example,dc=com
objectClass: organizationalUnit
ou: Box

dn: cn=inner,ou=Box,ou=Archive,dc=example,dc=com
objectClass: organizationalRole
cn: inner

dn: cn=Ref:cn=inner,ou=Groups,dc=example,dc=com
objectClass: OrnObjectLink
cn: Ref:cn=inner
OrnAttrObjectLink: cn=inner,ou=Box,ou=Archive,dc=example,dc=com

dn: cn=Ref:cn=early,ou=Box,ou=Archive,dc=example,dc=com
objectClass: OrnObjectLink
cn: Ref:cn=early
OrnAttrObjectLink: cn=early,ou=Box,ou=Archive,dc=example,dc=com

# Its last child may not be deleted by anyone but the admin.
dn: ou=Vault,dc=example,dc=com
objectClass: organizationalUnit
ou: Vault

dn: cn=a,ou=Vault,dc=example,dc=com
objectClass: organizationalRole
cn: a

dn: cn=b,ou=Vault,dc=example,dc=com
objectClass: organizationalRole
cn: b

dn: cn=keep,ou=Vault,dc=example,dc=com
objectClass: organizationalRole
cn: keep

# Copied: four classes, three blanks, an empty value, binary bytes.
dn: ou=Studio,dc=example,dc=com
objectClass: organizationalUnit
ou: Studio

dn: uid=dora,ou=Studio,dc=example,dc=com
objectClass: top
objectClass: person
objectClass: organizationalPerson
objectClass: inetOrgPerson
uid: dora
cn: Dora Dee
cn: Dee
sn: Dee
description:: ICAg
mail:
jpegPhoto:: /9j/4AAQSkZJRgAB//79/Pv6+fj39vX08/Lx8O/u7ezr6uno5+bl5OPi4eDf3t3c29rZ2NfW1dTT0tHQz87NzMvKycjHxsXEw8LBwL++vby7urm4t7a1tLOysbCvrq2sq6qpqKempaSjoqGgn56dnJuamZiXlpWUk5KRkI+OjYyLiomIh4aFhIOCgYB/fn18e3p5eHd2dXRzcnFwb25tbGtqaWhnZmVkY2JhYF9eXVxbWllYV1ZVVFNSUVBPTk1MAAD/2Q==

# slapadd takes an empty description; an add over LDAP does not.
dn: uid=emma,ou=Studio,dc=example,dc=com
objectClass: inetOrgPerson
uid: emma
cn: Emma
sn: Eck
description:

# Moved by a user who cannot read their passwords.
dn: ou=Desk,dc=example,dc=com
objectClass: organizationalUnit
ou: Desk

dn: uid=erin,ou=Desk,dc=example,dc=com
objectClass: inetOrgPerson
uid: erin
cn: Erin
sn: Eel
userPassword: erin-pw

dn: uid=finn,ou=Desk,dc=example,dc=com
objectClass: inetOrgPerson
uid: finn
cn: Finn
sn: Fox
userPassword: finn-pw

dn: ou=Shelf,dc=example,dc=com
objectClass: organizationalUnit
ou: Shelf
)";

inline const std::string kAccessRules = R"(access to dn.exact="cn=keep,ou=Vault,dc=example,dc=com" attrs=entry
    by * read
access to attrs=userPassword
    by dn.exact="uid=mover,ou=People,dc=example,dc=com" none
    by users write
    by anonymous auth
    by * none
)";

class EntriesTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.ldifText = kEntries;
        options.access = kAccessRules;
        startServer(options);
    }

    // Logged in (as the admin, or as the user who cannot read passwords),
    // the tree loaded, the desktop's records fresh.
    void start(bool asMover = false)
    {
        if (asMover)
            logInAs(kMover, "mover-pw");
        else
            logInAsAdmin();
        LoadTree(context);
        desktop = FakeDesktop {};
    }

    // Selects the node at the path and forgets what the selection showed.
    TreeNode* at(const Strings& path)
    {
        TreeNode* node = selectPath(context, path);
        EXPECT_NE(node, nullptr) << "no node at " << ::testing::PrintToString(path) << " below "
                                 << ::testing::PrintToString(
                                        path.empty() ? Strings {} : labels(shown({ path.front() })));
        desktop = FakeDesktop {};
        return node;
    }

    // The node at the path without selecting anything, or null.
    TreeNode* shown(const Strings& path)
    {
        TreeNode* node = state.tree.root();
        for (const std::string& label : path)
            node = node ? find(node, label) : nullptr;
        return node;
    }

    bool onServer(const std::string& dn)
    {
        EntryRecord* result = nullptr;
        const int32_t found = service.OrnSearchSync(dn.c_str(), "objectClass=*", nullptr, 0, 0, &result);
        OrnLdapService::OrnFreeResult(result);
        EXPECT_TRUE(found == 0 || found == 32) << dn << ": " << found;
        return found == 0;
    }

    // What an admin reads, bytes as they are (the test's user may read less).
    Strings values(const std::string& dn, const std::string& attribute)
    {
        return server().ldapsearchValues(dn, attribute);
    }

    // The attribute list's first row of the attribute: its index, its value.
    int rowOfAttribute(const std::string& name) const
    {
        const auto& rows = state.attributes.rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].name == name)
                return static_cast<int>(i);
        return -1;
    }
    std::string valueOfAttribute(const std::string& name) const
    {
        const int row = rowOfAttribute(name);
        return row < 0 ? "<none>" : state.attributes.rows()[static_cast<std::size_t>(row)].value;
    }

    static Box question(const std::string& text, const std::string& title)
    {
        return { text, title, MessageIcon::Question, MessageButtons::YesNo };
    }
};

} // namespace entries
