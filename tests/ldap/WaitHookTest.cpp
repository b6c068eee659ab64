// Waits the caller ends: a peer that never answers, a search cancelled in
// mid-stream, a connect and a send that never complete. A cancelled search
// is abandoned and the connection kept; any other cancelled wait closes it.
#include "ldap/AttrMod.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnInterface.h"
#include "tests/ldap/LiveHeap.h"
#include "tests/ldap/Messages.h"
#include "tests/support/FakeLdapServer.h"
#include "tests/support/UnansweredPort.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Fake = FakeLdapServer;

// Goes on for the first `goOns` asks, then cancels; counts what it is told.
struct ScriptedHook final : OrnWaitHook {
    explicit ScriptedHook(int asksToGoOn) : goOns(asksToGoOn) { }
    bool goOn(int32_t waitedMs) override
    {
        waited.push_back(waitedMs);
        return static_cast<int>(waited.size()) <= goOns;
    }
    void waitEnded() override { ++ended; }

    int goOns;
    std::vector<int32_t> waited;
    int ended = 0;
};

// Asked once a slice, each ask later than the one before.
void expectSlicedAsks(const ScriptedHook& hook, size_t asks)
{
    ASSERT_EQ(hook.waited.size(), asks);
    EXPECT_GE(hook.waited.front(), kWaitSliceMs - 5);
    for (size_t i = 1; i < asks; ++i)
        EXPECT_GT(hook.waited[i], hook.waited[i - 1]);
    EXPECT_EQ(hook.ended, 1);
}

// Runs body twice and checks that the second run left nothing on the heap
// (exact under ASan). The first run may leave what the process keeps once
// made: the runtime's records of the threads it started, say.
void expectHeapUnchanged(const std::function<void()>& body)
{
    body();
    const size_t before = liveHeapBytes();
    body();
    EXPECT_EQ(liveHeapBytes(), before);
}

TEST(WaitHook, ACancelledRequestThatIsNoSearchClosesTheConnection)
{
    char cn[] = "cn";
    char value[] = "x";
    char* values[] = { value, nullptr };
    AttrMod mod { 2, cn, { values } };
    AttrMod* mods[] = { &mod, nullptr };
    const std::vector<std::pair<const char*, std::function<int32_t(OrnLdapService&)>>> calls = {
        { "bind", [](OrnLdapService& s) { return s.OrnBindSync("cn=a", "secret", 0xA0); } },
        { "modify", [&](OrnLdapService& s) { return s.OrnModifySync("cn=a", mods); } },
        { "rename", [](OrnLdapService& s) { return s.OrnModifyRdnSync("cn=a", "cn=b", 1); } },
        { "delete", [](OrnLdapService& s) { return s.OrnDeleteSync("cn=a"); } },
        { "async compare", [](OrnLdapService& s) { return s.OrnLdapResult(s.OrnCompare("cn=a", "cn", "x"), nullptr); } },
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        expectHeapUnchanged([&] {
            Fake fake({ Fake::receiveMessage(), Fake::hold() });
            OrnLdapService service("127.0.0.1", fake.port());
            ScriptedHook hook(2);
            service.OrnSetWaitHook(&hook);
            ASSERT_EQ(service.OrnInitialise(), 0);
            EXPECT_EQ(call(service), ORN_WAIT_CANCELLED);
            expectSlicedAsks(hook, 3);
            EXPECT_TRUE(fake.waitForClientClose(5s));
            EXPECT_EQ(fake.receivedMessages().size(), 1u) << "no unbind goes to a server that may not take it";
            EXPECT_EQ(service.OrnCompareSync("cn=a", "cn", "x"), RECV_THREAD_TERMINATED);
            EXPECT_EQ(service.DestroyAll(), 0);
        });
    }
}

TEST(WaitHook, ACancelledSearchIsAbandonedAndItsLateEntriesMissTheNextSearch)
{
    Fake fake({ Fake::receiveMessage(), Fake::send(entryMessage(1, "cn=early", {{"cn", {"early"}}})),
                Fake::receiveMessage(), // the abandon
                Fake::send(entryMessage(1, "cn=late", {{"cn", {"late"}}})), Fake::send(resultMessage(1, 0x65, 0)),
                Fake::receiveMessage(), Fake::send(entryMessage(3, "cn=next", {{"cn", {"next"}}})),
                Fake::send(resultMessage(3, 0x65, 0)), Fake::hold() });
    OrnLdapService service("127.0.0.1", fake.port());
    ScriptedHook hook(1);
    service.OrnSetWaitHook(&hook);
    ASSERT_EQ(service.OrnInitialise(), 0);
    EntryRecord* result = nullptr;
    EXPECT_EQ(service.OrnSearchSync("dc=x", "objectclass=*", nullptr, 0, 2, &result), ORN_SEARCH_CANCELLED);
    EXPECT_EQ(result, nullptr);
    expectSlicedAsks(hook, 2);

    hook.goOns = 1000;
    ASSERT_EQ(service.OrnSearchSync("dc=x", "objectclass=*", nullptr, 0, 2, &result), 0);
    ASSERT_NE(result, nullptr);
    EXPECT_STREQ(result->attrs->values->data, "cn=next");
    ASSERT_NE(result->next, nullptr);
    EXPECT_TRUE(result->next->end_of_search);
    OrnLdapService::OrnFreeResult(result);
    std::vector<Bytes> sent = fake.receivedMessages();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1], hex("30 06 02 01 02 50 01 01")) << "AbandonRequest, message 2, for the search, message 1";
}

TEST(WaitHook, AConnectThatNeverCompletesEndsWhenCancelled)
{
    UnansweredPort silent;
    ASSERT_NE(silent.port(), 0);
    OrnLdapService service("127.0.0.1", silent.port());
    ScriptedHook hook(3);
    service.OrnSetWaitHook(&hook);
    EXPECT_EQ(service.OrnInitialise(), ORN_WAIT_CANCELLED);
    expectSlicedAsks(hook, 4);
    EXPECT_EQ(service.OrnBindSync("", "", 0xA0), ORN_NOT_INITIALISED);
}

TEST(WaitHook, ASendTheServerNeverTakesEndsWhenCancelled)
{
    expectHeapUnchanged([] {
        UnansweredPort deaf(UnansweredPort::Mode::Deaf);
        ASSERT_NE(deaf.port(), 0);
        OrnLdapService service("127.0.0.1", deaf.port());
        ScriptedHook hook(2);
        service.OrnSetWaitHook(&hook);
        ASSERT_EQ(service.OrnInitialise(), 0);
        // More than the socket buffers on both sides hold.
        std::string photo(64 << 20, 'p');
        char type[] = "jpegPhoto";
        char* values[] = { photo.data(), nullptr };
        AttrMod mod { 2, type, { values } };
        AttrMod* mods[] = { &mod, nullptr };
        EXPECT_EQ(service.OrnModifySync("cn=a", mods), ORN_WAIT_CANCELLED);
        expectSlicedAsks(hook, 3);
        EXPECT_EQ(service.OrnDeleteSync("cn=a"), RECV_THREAD_TERMINATED);
        EXPECT_EQ(service.DestroyAll(), 0);
    });
}

} // namespace
