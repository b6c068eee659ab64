#include "tests/support/FakeLdapServer.h"
#include "tests/support_tests/LoopbackClient.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace {

using namespace std::chrono_literals;
using Fake = FakeLdapServer;

const Bytes kBind = hex("30 0c 02 01 01 60 07 02 01 03 04 00 80 00");
const Bytes kBindDone = hex("30 0c 02 01 01 61 07 0a 01 00 04 00 04 00");

// Splitting relies on the client reading within the pause; the pause here is
// long enough for a heavily loaded machine running sanitizer builds.
TEST(FakeLdapServer, DeliversTheChosenSegmentsOneByOne)
{
    Fake server({ Fake::sendSplit(kBindDone, { 3, 7 }, 200ms) });
    LoopbackClient client(server.port());
    std::vector<Bytes> seen;
    for (int i = 0; i < 3; ++i)
        seen.push_back(client.readOnce(5s).bytes);
    EXPECT_EQ(seen, (std::vector<Bytes> { hex("30 0c 02"), hex("01 01 61 07"), hex("0a 01 00 04 00 04 00") }));
    EXPECT_TRUE(server.waitForScriptEnd(5s));
    EXPECT_EQ(server.scriptError(), "");
}

TEST(FakeLdapServer, SplitsAMessageAtEveryOffset)
{
    auto steps = Fake::splitsAtEveryOffset(kBindDone, 10ms);
    ASSERT_EQ(steps.size(), kBindDone.size() - 1);
    for (size_t cut = 1; cut < kBindDone.size(); ++cut) {
        EXPECT_EQ(steps[cut - 1].cuts, std::vector<size_t> { cut });
        Fake server({ steps[cut - 1] });
        LoopbackClient client(server.port());
        Bytes head = client.readOnce(5s).bytes;
        // A client slower than the pause may see the segments merged, never cut elsewhere.
        if (head.size() < kBindDone.size()) {
            EXPECT_EQ(head.size(), cut);
        }
        Bytes all = head;
        LoopbackClient::Read rest = client.read(kBindDone.size() - head.size(), 5s);
        all.insert(all.end(), rest.bytes.begin(), rest.bytes.end());
        EXPECT_EQ(all, kBindDone) << "cut at " << cut;
    }
}

TEST(FakeLdapServer, AnswersOnlyOnceAWholeMessageHasArrivedAndRecordsIt)
{
    Fake server({ Fake::receiveMessage(), Fake::send(kBindDone), Fake::receive(3), Fake::close() });
    LoopbackClient client(server.port());
    ASSERT_TRUE(server.waitForClient(5s));

    client.send(Bytes(kBind.begin(), kBind.begin() + 5));
    ASSERT_TRUE(server.waitForReceived(5, 5s));
    EXPECT_TRUE(client.readOnce(50ms).timedOut);
    client.send(Bytes(kBind.begin() + 5, kBind.end()));
    EXPECT_EQ(client.read(kBindDone.size(), 5s).bytes, kBindDone);

    client.send(hex("30 05 02"));
    LoopbackClient::Read end = client.readOnce(5s);
    EXPECT_TRUE(end.closed);
    EXPECT_TRUE(server.waitForScriptEnd(5s));
    Bytes expected = kBind;
    expected.insert(expected.end(), { 0x30, 0x05, 0x02 });
    EXPECT_EQ(server.received(), expected);
    EXPECT_EQ(server.receivedMessages(), std::vector<Bytes> { kBind });
    EXPECT_FALSE(LoopbackClient::accepts(server.port()));
}

TEST(FakeLdapServer, EndsTheConnectionInMidMessageOrWithAReset)
{
    Bytes half(kBindDone.begin(), kBindDone.begin() + 6);
    {
        Fake server({ Fake::send(half), Fake::close() });
        LoopbackClient client(server.port());
        LoopbackClient::Read got = client.read(kBindDone.size(), 5s);
        EXPECT_EQ(got.bytes, half);
        EXPECT_TRUE(got.closed);
    }
    {
        Fake server({ Fake::receive(1), Fake::reset() });
        LoopbackClient client(server.port());
        client.send(hex("30"));
        EXPECT_TRUE(client.read(1, 5s).reset);
    }
}

TEST(FakeLdapServer, ReportsAClientThatLeavesWhileAwaited)
{
    Fake server({ Fake::receive(10), Fake::send(kBindDone) });
    {
        LoopbackClient client(server.port());
        client.send(hex("30 0c 02 01"));
    }
    EXPECT_TRUE(server.waitForClientClose(5s));
    EXPECT_FALSE(server.waitForScriptEnd(50ms));
    EXPECT_NE(server.scriptError().find("closed"), std::string::npos) << server.scriptError();
    EXPECT_EQ(server.received(), hex("30 0c 02 01"));
}

// A destructor that hangs would hang every test that uses a fake; the bound
// leaves room for loaded machines.
TEST(FakeLdapServer, ShutsDownPromptlyWhateverItIsWaitingFor)
{
    auto timeToDestroy = [](std::unique_ptr<Fake> server) {
        auto start = std::chrono::steady_clock::now();
        server.reset();
        return std::chrono::steady_clock::now() - start;
    };
    // No client ever came.
    EXPECT_LT(timeToDestroy(std::make_unique<Fake>(Fake::Script { Fake::hold() })), 2s);

    // Waiting for a request that never comes.
    auto waiting = std::make_unique<Fake>(Fake::Script { Fake::receiveMessage(), Fake::send(kBindDone) });
    LoopbackClient quiet(waiting->port());
    ASSERT_TRUE(waiting->waitForClient(5s));
    EXPECT_LT(timeToDestroy(std::move(waiting)), 2s);
    EXPECT_TRUE(quiet.readOnce(5s).closed);

    // Never answering, while the client keeps talking.
    auto silent = std::make_unique<Fake>(Fake::Script { Fake::receiveMessage(), Fake::hold() });
    LoopbackClient talker(silent->port());
    talker.send(kBind);
    ASSERT_TRUE(silent->waitForScriptEnd(5s));
    talker.send(kBind);
    ASSERT_TRUE(silent->waitForReceived(2 * kBind.size(), 5s));
    EXPECT_TRUE(talker.readOnce(100ms).timedOut);
    EXPECT_LT(timeToDestroy(std::move(silent)), 2s);
    EXPECT_TRUE(talker.readOnce(5s).closed);
}

TEST(FakeLdapServer, MeasuresBerElements)
{
    struct Case {
        const char* bytes;
        size_t length;
    };
    const Case cases[] = {
        { "", 0 },
        { "30", 0 },
        { "30 00", 2 },
        { "30 03 02 01", 0 },
        { "30 03 02 01 05 ff", 5 },
        { "30 81", 0 },
        { "30 81 01 00", 4 },
        { "30 82 00 01 00", 5 },
        { "1f 81 01 00", 4 }, // three-byte tag
        { "30 80 00 00", SIZE_MAX }, // indefinite length
        { "30 85 00 00 00 00 01", SIZE_MAX },
    };
    for (const Case& c : cases) {
        Bytes bytes = hex(c.bytes);
        EXPECT_EQ(Fake::berElementLength(bytes.data(), bytes.size()), c.length) << c.bytes;
    }
}

} // namespace
