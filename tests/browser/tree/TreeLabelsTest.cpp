// Labels of tree nodes from their DNs, and the DNs rebuilt from the labels.
#include "browser/tree/DirectoryTree.h"
#include "browser/tree/DnLabels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LabelCase {
    const char* dn;
    const char* label;
};

const LabelCase kLabels[] = {
    { "ou=People,dc=example,dc=com", "ou=People" },
    { "dc=com", "dc=com" },
    // A quoted value keeps its commas and its quotes.
    { "cn=\"Smith, John\",ou=People,dc=example,dc=com", "cn=\"Smith, John\"" },
    { "cn=\"Smith, John\"", "cn=\"Smith, John\"" },
    // A quote further on does not make the first value quoted.
    { "cn=a,ou=\"x, y\",dc=com", "cn=a" },
    // Object links: the quote is looked for in the target's value.
    { "cn=Ref:cn=\"Smith, John\",ou=Few,dc=com", "cn=Ref:cn=\"Smith, John\"" },
    { "cn=Ref:uid=bob,ou=People,dc=com", "cn=Ref:uid=bob" },
    { "cn=Ref:cn\\3D\\22Smith\\2C John\\22,ou=Few,dc=com", "cn=Ref:cn\\3D\\22Smith\\2C John\\22" },
    // Escaped commas belong to the value; an escaped backslash does not escape the comma after it.
    { "cn=Smith\\, John,ou=Few,dc=com", "cn=Smith\\, John" },
    { "cn=Smith\\2C John,ou=Few,dc=com", "cn=Smith\\2C John" },
    { "cn=a\\\\,ou=Few,dc=com", "cn=a\\\\" },
    { "cn=only\\, escaped", "cn=only\\, escaped" },
};

const std::string kLongValue(300, 'x');

} // namespace

TEST(TreeLabelsTest, LabelIsTheFirstRdn)
{
    for (const LabelCase& row : kLabels)
        EXPECT_EQ(DnToLabel(row.dn), row.label) << row.dn;
    std::string label = "cn=" + kLongValue;
    EXPECT_EQ(DnToLabel(label + ",ou=Few,dc=com"), label);
}

TEST(TreeLabelsTest, FullDnIsRebuiltFromTheLabels)
{
    const std::string base = "dc=example,dc=com";
    DirectoryTree tree;
    TreeNode* root = tree.setRoot(base, NodeImage::Root);
    EXPECT_EQ(BuildFullDn(*root), base);

    for (const LabelCase& row : kLabels) {
        std::string dn = std::string(row.label) + "," + base;
        TreeNode* node = tree.append(root, DnToLabel(dn), NodeImage::Container);
        EXPECT_EQ(BuildFullDn(*node), dn);
    }
    TreeNode* few = tree.append(root, "ou=Few", NodeImage::Container);
    std::string deep = "cn=" + kLongValue + ",ou=Deep,ou=Few," + base;
    TreeNode* deeper = tree.append(few, "ou=Deep", NodeImage::Container);
    EXPECT_EQ(BuildFullDn(*tree.append(deeper, DnToLabel(deep), NodeImage::Leaf)), deep);
}
