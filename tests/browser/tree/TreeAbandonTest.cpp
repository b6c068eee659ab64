// Moving elsewhere abandons an unfinished paged search: the server is told
// to drop the rest (page size 0 with its cookie, RFC 2696), and nothing it
// still sends for the old search reaches the next one. A scripted peer,
// since slapd does not show what it was asked.
#include "browser/CommandReports.h"
#include "browser/tree/TreeCommands.h"
#include "tests/browser/BrowserTest.h"
#include "tests/ldap/Messages.h"
#include "tests/support/FakeLdapServer.h"

namespace {

constexpr uint32_t kBind = 0x61, kDone = 0x65;

// A search done carrying a page response control with the cookie.
Bytes pagedDone(int32_t msgid, const std::string& cookie)
{
    const std::string oid = "1.2.840.113556.1.4.319";
    const Bytes value = element(0x30, hex("02 01 00") + element(0x04, Bytes(cookie.begin(), cookie.end())));
    const Bytes control = element(0x30, element(0x04, Bytes(oid.begin(), oid.end())) + element(0x04, value));
    const Bytes done = resultMessage(msgid, kDone, 0);
    // The done's own elements, then the controls, in a message of the new length.
    return element(0x30, Bytes(done.begin() + 2, done.end()) + element(0xA0, control));
}

class TreeAbandonTest : public CoreFolderTest {
protected:
    ~TreeAbandonTest() override { service.DestroyAll(); }
};

TEST_F(TreeAbandonTest, MovingElsewhereDropsTheUnfinishedPages)
{
    using Fake = FakeLdapServer;
    const std::string big = "ou=Big,dc=x", ten = "ou=Ten,dc=x";
    Fake::Script script;
    for (const Bytes& reply : {
             resultMessage(1, kBind, 0),
             // Expanding ou=Big: one child and a cookie for more.
             entryMessage(2, "cn=b1," + big, {}) + pagedDone(2, "AB"),
             // Selecting ou=Ten: its entry; the abandon; its children, behind a late entry of the old search.
             entryMessage(3, ten, { { "objectClass", { "organizationalUnit" } } }) + resultMessage(3, kDone, 0),
             pagedDone(4, ""),
             entryMessage(2, "cn=late," + big, {}) + entryMessage(5, "cn=t1," + ten, {}) + pagedDone(5, "") })
        for (const Fake::Step& step : { Fake::receiveMessage(), Fake::send(reply) })
            script.push_back(step);
    script.push_back(Fake::hold());
    Fake fake(std::move(script));
    logInToPeer(fake.port(), "dc=x");
    ASSERT_FALSE(HasFatalFailure());
    state.serverPages = true;
    TreeNode* root = state.tree.setRoot("dc=x", NodeImage::Root);
    state.paging.rootInserted = true;
    TreeNode* bigNode = state.tree.append(root, "ou=Big", NodeImage::Container);
    TreeNode* tenNode = state.tree.append(root, "ou=Ten", NodeImage::Container);
    state.tree.select(bigNode);
    ExpandNode(context);
    ASSERT_EQ(bigNode->children.size(), 1u);
    EXPECT_FALSE(state.paging.noMoreEntries);

    SelectNode(context, tenNode);
    ExpandNode(context);
    EXPECT_TRUE(desktop.boxes.empty());
    const std::vector<Bytes> sent = fake.receivedMessages();
    ASSERT_EQ(sent.size(), 5u);
    // Page size 0 with the cookie "AB", for ou=Big.
    EXPECT_NE(toHex(sent[3]).find(toHex(hex("04 09 30 07 02 01 00 04 02 41 42"))), std::string::npos)
        << toHex(sent[3]);
    EXPECT_NE(toHex(sent[3]).find(toHex(Bytes(big.begin(), big.end()))), std::string::npos);
    ASSERT_EQ(tenNode->children.size(), 1u);
    EXPECT_EQ(tenNode->children.front()->label, "cn=t1");
    EXPECT_TRUE(state.paging.noMoreEntries);
}

} // namespace
