// DNs compared as DNs: what names the same entry and what does not.
#include "tools/entries/DnMatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Pair {
    const char* a;
    const char* b;
    bool same;
};

const Pair kPairs[] = {
    { "uid=bob,ou=People,dc=example,dc=com", "UID=Bob, OU=people,DC=Example,DC=com", true },
    { "cn=Doe\\, Jane,ou=Names", "cn=Doe\\2C Jane,ou=Names", true },
    { "cn=Doe\\, Jane,ou=Names", "cn=\"Doe, Jane\",ou=Names", true },
    { "cn=a+sn=b,dc=x", "sn=B + cn=A,dc=x", true },
    { "cn=a;dc=x", "cn=a,dc=x", true },
    { "cn=A*,ou=Names", "cn=AB,ou=Names", false },
    { "uid=bob,ou=People", "uid=bob,ou=Alumni", false },
    { "cn=a\\,b,dc=x", "cn=a,b=,dc=x", false },
    { "cn=a\\ ,dc=x", "cn=a,dc=x", false }, // an escaped trailing blank counts
    { "cn=a ,dc=x", "cn=a,dc=x", true },
    { "cn=a\\2Bb,dc=x", "cn=a\\+b,dc=x", true },
    { "cn=a\\2Bb,dc=x", "cn=a+b=,dc=x", false },
    { "", "", true },
};

TEST(DnMatch, NamesTheSameEntryOrNot)
{
    for (const Pair& pair : kPairs) {
        EXPECT_EQ(SameDn(pair.a, pair.b), pair.same) << pair.a << " / " << pair.b;
        EXPECT_EQ(SameDn(pair.b, pair.a), pair.same) << pair.b << " / " << pair.a;
    }
}

TEST(DnMatch, SplitsAtSeparatorsOutsideEscapesAndQuotes)
{
    using Strings = std::vector<std::string>;
    EXPECT_EQ(SplitRdns("cn=Doe\\, Jane,ou=A;dc=b"), (Strings { "cn=Doe\\, Jane", "ou=A", "dc=b" }));
    EXPECT_EQ(SplitRdns("cn=\"a,b\",dc=c"), (Strings { "cn=\"a,b\"", "dc=c" }));
    EXPECT_EQ(SplitRdns(""), Strings {});
    EXPECT_EQ(DnDepth("cn=inner,ou=Box,ou=Archive,dc=example,dc=com"), 5u);
    EXPECT_EQ(DnDepth("dc=com"), 1u);
    EXPECT_EQ(SuperiorDn("cn=Doe\\, Jane,ou=A,dc=b"), "ou=A,dc=b");
    EXPECT_EQ(SuperiorDn("dc=b"), "");
}

} // namespace
