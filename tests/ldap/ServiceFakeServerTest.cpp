// The service against a scripted peer, for what a real server will not do:
// unsolicited messages, references, answers out of order, a peer that goes
// silent or away, a message cut off when the connection ends.
#include "ldap/OrnAlloc.h"
#include "ldap/OrnInterface.h"
#include "ldap/OrnState.h"
#include "tests/ldap/Messages.h"
#include "tests/support/FakeLdapServer.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <time.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Fake = FakeLdapServer;

constexpr uint32_t kSearchEntry = 0x64;
constexpr uint32_t kSearchDone = 0x65;
constexpr uint32_t kModifyResponse = 0x67;
constexpr uint32_t kCompareResponse = 0x6F;
constexpr uint32_t kReference = 0x73;
constexpr uint32_t kExtendedResponse = 0x78;

Bytes response(int32_t msgid, uint32_t op, int32_t code)
{
    return resultMessage(msgid, op, code);
}

Bytes entry(int32_t msgid, const char* dn)
{
    return entryMessage(msgid, dn, {{"cn", {"x"}}});
}

Bytes reference(int32_t msgid)
{
    Writer w;
    EXPECT_NE(w.codec.ber_printf(w.ber, "{it{s}}", msgid, kReference, "ldap://elsewhere/dc=x"), -1);
    return w.bytes();
}

// Message id of a request as the peer received it (ids below 128).
int messageId(const Bytes& message)
{
    return message.size() > 4 && message[2] == 0x02 && message[3] == 0x01 ? message[4] : -1;
}

// The DNs of a chain, "<end>" for the end-of-search node.
std::vector<std::string> dns(EntryRecord* chain)
{
    std::vector<std::string> out;
    for (EntryRecord* e = chain; e; e = e->next)
        out.push_back(e->end_of_search ? "<end>" : e->attrs->values->data);
    return out;
}

bool waitForMessages(const Fake& fake, size_t count)
{
    for (int i = 0; i < 500 && fake.receivedMessages().size() < count; ++i)
        std::this_thread::sleep_for(10ms);
    return fake.receivedMessages().size() >= count;
}

using Calls = std::vector<std::pair<const char*, std::function<int32_t()>>>;

// Every call that needs the connection, and all of them answering code.
void expectEveryCall(OrnLdapService& svc, Calls more, int32_t code)
{
    EntryRecord* result = nullptr;
    Calls calls = {
        { "bind", [&] { return svc.OrnBindSync("", "", 0xA0); } },
        { "search", [&] { return svc.OrnSearchSync("dc=x", "objectclass=*", nullptr, 0, 2, &result); } },
        { "async search", [&] { return svc.OrnSearch("dc=x", "objectclass=*", nullptr, 0, 2); } },
        { "schema", [&] { return svc.OrnReadSchema(&result); } },
        { "compare", [&] { return svc.OrnCompareSync("cn=a", "cn", "a"); } },
        { "add", [&] { return svc.OrnAdd("cn=a", nullptr); } },
        { "async rename", [&] { return svc.OrnModifyRdn("cn=a", "cn=b", 1); } },
        { "delete", [&] { return svc.OrnDeleteSync("cn=a"); } },
        { "unbind", [&] { return svc.OrnUnbindSync(); } },
        { "abandon", [&] { return svc.OrnAbandon(1); } },
    };
    calls.insert(calls.end(), more.begin(), more.end());
    for (const auto& [name, call] : calls)
        EXPECT_EQ(call(), code) << name;
    EXPECT_EQ(result, nullptr);
}

struct Session {
    explicit Session(const Fake& fake) : service("127.0.0.1", fake.port())
    {
        EXPECT_EQ(service.OrnInitialise(), 0);
    }
    OrnLdapService service;
};

TEST(ServiceFakeServer, NumbersRequestsFromOneAfterEveryInitialiseAndClosesOnDestroy)
{
    OrnLdapService service("127.0.0.1", 0);
    for (int round = 0; round < 2; ++round) {
        Fake fake({ Fake::receiveMessage(), Fake::receiveMessage(), Fake::hold() });
        service.OrnSetPortNo(fake.port());
        ASSERT_EQ(service.OrnInitialise(), 0);
        char* noAttrs[] = { nullptr };
        EXPECT_EQ(service.OrnSearchSync("dc=x", nullptr, noAttrs, 0, 0, nullptr), ORN_FUNC_PARAM_ERROR);
        EXPECT_EQ(service.OrnCompare("cn=a", "cn", "a"), 1);
        EXPECT_EQ(service.OrnDelete("cn=a"), 2);
        ASSERT_TRUE(fake.waitForScriptEnd(5s));
        auto messages = fake.receivedMessages();
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messageId(messages[0]), 1);
        EXPECT_EQ(messageId(messages[1]), 2);
        EXPECT_EQ(service.DestroyAll(), 0);
        EXPECT_TRUE(fake.waitForClientClose(5s)) << "round " << round;
    }
    EXPECT_EQ(service.DestroyAll(), ORN_NOT_INITIALISED);
}

TEST(ServiceFakeServer, DropsUnplacedMessagesButEndsTheWaitOnARecognisedIdZero)
{
    Fake fake({ Fake::receiveMessage(), Fake::send(response(0, kExtendedResponse, 52)),
                Fake::send(response(1, kCompareResponse, 6)), Fake::receiveMessage(),
                Fake::send(response(0, kModifyResponse, 0)), Fake::hold() });
    Session s(fake);
    EXPECT_EQ(s.service.OrnCompareSync("cn=a", "cn", "a"), 6);
    EXPECT_EQ(s.service.OrnModifySync("cn=a", nullptr), ORN_SERVER_NOTIFICATION);
    EXPECT_EQ(s.service.OrnLdapResult(2, nullptr), ORN_INVALID_MSGID); // forgotten
}

TEST(ServiceFakeServer, KeepsAResponseForAnotherIdUntilItIsCollectedAndDropsAbandonedOnes)
{
    Fake fake({ Fake::receiveMessage(), Fake::receiveMessage(), Fake::receiveMessage(), Fake::receiveMessage(),
                Fake::send(response(3, kModifyResponse, 0) + response(9, kModifyResponse, 0) + response(2, kModifyResponse, 50) + response(1, kCompareResponse, 5)),
                Fake::hold() });
    Session s(fake);
    const int32_t compare = s.service.OrnCompare("cn=a", "cn", "b");
    const int32_t modify = s.service.OrnModify("cn=a", nullptr);
    const int32_t abandoned = s.service.OrnDelete("cn=a");
    EXPECT_EQ(s.service.OrnAbandon(42), ORN_INVALID_MSGID);
    EXPECT_EQ(s.service.OrnAbandon(abandoned), 0);
    EXPECT_EQ(s.service.OrnLdapResult(compare, nullptr), 5);
    EXPECT_EQ(s.service.OrnLdapResult(modify, nullptr), 50); // already there: no wait
    EXPECT_EQ(s.service.OrnLdapResult(modify, nullptr), ORN_INVALID_MSGID);
    EXPECT_EQ(s.service.OrnLdapResult(abandoned, nullptr), ORN_INVALID_MSGID);
    EXPECT_EQ(s.service.OrnLdapResult(0, nullptr), ORN_INVALID_MSGID);
    const auto messages = fake.receivedMessages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[3], hex("30 06 02 01 04 50 01 03")); // abandon 3, as request 4
}

// The second batch is sent only once the first has been collected and a
// compare sent, so the batch boundary does not depend on timing.
TEST(ServiceFakeServer, HandsOutASearchInBatchesSkippingReferencesAndKeepingOtherResponses)
{
    Fake fake({ Fake::receiveMessage(), Fake::send(entry(1, "cn=a")), Fake::receiveMessage(),
                Fake::send(entry(1, "cn=b") + reference(1) + response(2, kCompareResponse, 6) + response(7, kCompareResponse, 6) + entry(1, "cn=c") + response(1, kSearchDone, 32)),
                Fake::hold() });
    Session s(fake);
    const int32_t search = s.service.OrnSearch("dc=x", "objectclass=*", nullptr, 0, 2);
    ASSERT_EQ(search, 1);
    EntryRecord* batch = nullptr;
    ASSERT_EQ(s.service.OrnLdapResult(search, &batch), 0);
    EXPECT_EQ(dns(batch), std::vector<std::string>{ "cn=a" });
    EntryRecord* all = batch;
    EntryRecord* last = batch;
    const int32_t compare = s.service.OrnCompare("cn=a", "cn", "a");
    int32_t code = 0;
    while (!last->end_of_search) {
        code = s.service.OrnLdapResult(search, &batch);
        last->next = batch;
        while (last->next)
            last = last->next;
    }
    EXPECT_EQ(code, 32); // reported with the end-of-search node
    EXPECT_EQ(dns(all), (std::vector<std::string>{ "cn=a", "cn=b", "cn=c", "<end>" }));
    EXPECT_EQ(s.service.OrnLdapResult(compare, nullptr), 6);
    EXPECT_EQ(s.service.OrnLdapResult(search, &batch), ORN_INVALID_MSGID); // the search is over
    OrnLdapService::OrnFreeResult(all);
}

TEST(ServiceFakeServer, SyncSearchJoinsBatchesArrivingApart)
{
    Bytes answer;
    std::vector<size_t> cuts;
    for (int i = 0; i < 6; ++i) {
        answer = answer + entry(1, ("cn=e" + std::to_string(i)).c_str());
        cuts.push_back(answer.size());
    }
    answer = answer + response(1, kSearchDone, 0);
    Fake fake({ Fake::receiveMessage(), Fake::sendSplit(answer, cuts, 20ms), Fake::hold() });
    Session s(fake);
    EntryRecord* result = nullptr;
    ASSERT_EQ(s.service.OrnSearchSync("dc=x", "objectclass=*", nullptr, 0, 2, &result), 0);
    EXPECT_EQ(dns(result),
              (std::vector<std::string>{ "cn=e0", "cn=e1", "cn=e2", "cn=e3", "cn=e4", "cn=e5", "<end>" }));
    EXPECT_EQ(s.service.OrnCountEntries(result), 6);
    OrnLdapService::OrnFreeResult(result);
}

// What a client meets when the peer answers and closes at once: each answer
// is delivered whole and cut at every offset, the close right behind it.
// Whatever arrived complete is delivered, the server's result is reported,
// messages of other ids stay out, and a failure hands out nothing (the
// leak checker sees anything left behind); the next call learns that the
// connection has ended.
struct AnsweredThenClosed {
    const char* name;
    int requests; // read before the answer goes out
    Bytes answer;
    std::function<int32_t(OrnLdapService&, EntryRecord**)> call;
    int32_t code;
    std::vector<std::string> chain;
};

int32_t searchSync(OrnLdapService& service, EntryRecord** result)
{
    return service.OrnSearchSync("dc=x", "objectclass=*", nullptr, 0, 2, result);
}

TEST(ServiceFakeServer, DeliversWhatArrivedBeforeTheCloseAndReportsTheSearchResult)
{
    const std::vector<AnsweredThenClosed> cases = {
        { "refused bind", 1, response(1, 0x61, 49),
            [](OrnLdapService& service, EntryRecord**) { return service.OrnBindSync("cn=a", "wrong", 0xA0); }, 49, {} },
        { "search", 1, entry(1, "cn=a") + response(1, kSearchDone, 0), searchSync, 0, { "cn=a", "<end>" } },
        { "missing base", 1, response(1, kSearchDone, 32), searchSync, 32, { "<end>" } },
        { "size limit", 1, entry(1, "cn=a") + entry(1, "cn=b") + response(1, kSearchDone, 4), searchSync, 4,
            { "cn=a", "cn=b", "<end>" } },
        { "other ids", 1,
            entry(7, "cn=stale") + response(7, kSearchDone, 0) + entry(1, "cn=a") + response(1, kSearchDone, 0),
            searchSync, 0, { "cn=a", "<end>" } },
        { "late entries of an abandoned search", 3,
            entry(1, "cn=late") + response(1, kSearchDone, 0) + entry(3, "cn=b") + response(3, kSearchDone, 0),
            [](OrnLdapService& service, EntryRecord** result) {
                EXPECT_EQ(service.OrnSearch("dc=x", "objectclass=*", nullptr, 0, 2), 1);
                EXPECT_EQ(service.OrnAbandon(1), 0);
                return searchSync(service, result);
            },
            0, { "cn=b", "<end>" } },
        { "notification after entries", 1,
            entry(1, "cn=a") + entry(1, "cn=b") + response(0, kModifyResponse, 0), searchSync,
            ORN_SERVER_NOTIFICATION, {} },
        { "closed in mid-search", 1, entry(1, "cn=a") + entry(1, "cn=b"), searchSync, RECV_THREAD_TERMINATED,
            {} },
    };
    for (const AnsweredThenClosed& c : cases) {
        std::vector<std::vector<size_t>> deliveries = { {} };
        for (size_t cut = 1; cut < c.answer.size(); ++cut)
            deliveries.push_back({ cut });
        for (const std::vector<size_t>& cuts : deliveries) {
            const std::string where
                = std::string(c.name) + (cuts.empty() ? " whole" : " cut at " + std::to_string(cuts[0]));
            Fake::Script script(size_t(c.requests), Fake::receiveMessage());
            script.push_back(Fake::sendSplit(c.answer, cuts));
            script.push_back(Fake::close());
            Fake fake(script);
            Session s(fake);
            EntryRecord* result = nullptr;
            EXPECT_EQ(c.call(s.service, &result), c.code) << where;
            EXPECT_EQ(dns(result), c.chain) << where;
            OrnLdapService::OrnFreeResult(result);
            EXPECT_LT(s.service.OrnCompareSync("cn=a", "cn", "a"), 0) << where; // -6, or -108 if the send fails
        }
    }
}

// CPU time the given thread has used so far.
std::chrono::nanoseconds cpuTime(pthread_t thread)
{
    clockid_t clock;
    timespec used {};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &used) != 0)
        return {};
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

TEST(ServiceFakeServer, AWaitingCallSleepsAndWakesWithMinusSixWhenThePeerGoesAway)
{
    auto fake = std::make_unique<Fake>(Fake::Script{ Fake::receiveMessage(), Fake::hold() });
    Session s(*fake);
    const pthread_t caller = pthread_self();
    std::chrono::nanoseconds spent {};
    std::thread peer([&] {
        ASSERT_TRUE(fake->waitForScriptEnd(5s));
        const auto before = cpuTime(caller);
        std::this_thread::sleep_for(300ms);
        spent = cpuTime(caller) - before;
        fake.reset(); // the connection closes under the waiting call
    });
    EXPECT_EQ(s.service.OrnCompareSync("cn=a", "cn", "a"), RECV_THREAD_TERMINATED);
    peer.join();
    EXPECT_LT(spent, 50ms) << "the waiting call polled";

    OrnLdapService& svc = s.service;
    expectEveryCall(svc, { { "result", [&] { return svc.OrnLdapResult(1, nullptr); } } }, RECV_THREAD_TERMINATED);
    EXPECT_EQ(svc.DestroyAll(), 0);
}

TEST(ServiceFakeServer, DestroyAllUnbindsAndEndsAThreadStuckInTheMiddleOfAMessage)
{
    Fake fake({ Fake::receiveMessage(), Fake::send(response(1, 0x61, 0)), Fake::receiveMessage(),
                Fake::send(hex("30 0c 02 01")), Fake::receiveMessage(), Fake::hold() });
    Session s(fake);
    ASSERT_EQ(s.service.OrnBindSync("", "", 0xA0), 0);
    EXPECT_EQ(s.service.OrnCompare("cn=a", "cn", "a"), 2);
    ASSERT_TRUE(waitForMessages(fake, 2));
    std::this_thread::sleep_for(200ms); // the receive thread now waits for the rest of the message
    EXPECT_EQ(s.service.DestroyAll(), 0);
    EXPECT_TRUE(fake.waitForClientClose(5s));
    auto messages = fake.receivedMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], hex("30 05 02 01 03 42 00"));
    EXPECT_EQ(s.service.OrnGetErrorNo(), ORN_NOT_INITIALISED);
    EXPECT_EQ(s.service.DestroyAll(), ORN_NOT_INITIALISED);
}

TEST(ServiceFakeServer, RefusesCallsBeforeInitialiseButTakesSettings)
{
    ResetLibraryState(); // as in a fresh process: no receive thread has ended yet
    OrnLdapService svc("127.0.0.1", 1);
    EntryRecord* result = nullptr;
    const char* text = nullptr;
    char* dn = nullptr;
    expectEveryCall(svc,
                    { { "result", [&] { return svc.OrnLdapResult(1, &result); } },
                      { "error number", [&] { return svc.OrnGetErrorNo(); } },
                      { "error text", [&] { return svc.ErrorToString(-2, &text); } },
                      { "destroy", [&] { return svc.DestroyAll(); } },
                      { "dn", [&] { return svc.OrnGetDn(result, &dn); } } },
                    ORN_NOT_INITIALISED);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(dn, nullptr);

    EXPECT_EQ(svc.OrnSetLdapVersion(4), ORN_FUNC_PARAM_ERROR);
    EXPECT_EQ(svc.OrnGetLdapVersion(), 3);
    EXPECT_EQ(svc.OrnSetLdapVersion(2), 0);
    EXPECT_EQ(svc.OrnGetLdapVersion(), 2);
    // Nothing listens on port 1.
    EXPECT_EQ(svc.OrnInitialise(), SOCKET_CONNECTION_ERROR);
    EXPECT_EQ(svc.OrnGetErrorNo(), ORN_NOT_INITIALISED);
}

TEST(ServiceFakeServer, AppendsToTheChainItWasGivenWhicheverWasAppendedToLast)
{
    OrnLdapService svc;
    auto node = [] { return static_cast<EntryRecord*>(ornCalloc(1, sizeof(EntryRecord))); };
    EntryRecord* a = nullptr;
    EntryRecord* b = nullptr;
    EntryRecord* nodes[5] = { node(), node(), node(), node(), node() };
    EXPECT_EQ(svc.ornAddElement(&a, nodes[0]), 0);
    EXPECT_EQ(svc.ornAddElement(&a, nodes[1]), 0);
    EXPECT_EQ(svc.ornAddElement(&b, nodes[2]), 0);
    EXPECT_EQ(svc.ornAddElement(&a, nodes[3]), 0);
    EXPECT_EQ(svc.ornAddElement(&b, nodes[4]), 0);
    EXPECT_EQ(svc.ornAddElement(&b, nullptr), 1);
    EXPECT_EQ(svc.ornAddElement(nullptr, nodes[0]), 1);
    EXPECT_EQ(a, nodes[0]);
    EXPECT_EQ(nodes[0]->next, nodes[1]);
    EXPECT_EQ(nodes[1]->next, nodes[3]);
    EXPECT_EQ(nodes[3]->next, nullptr);
    EXPECT_EQ(b, nodes[2]);
    EXPECT_EQ(nodes[2]->next, nodes[4]);
    EXPECT_EQ(nodes[4]->next, nullptr);
    OrnLdapService::OrnFreeResult(a);
    OrnLdapService::OrnFreeResult(b);
}

TEST(ServiceFakeServer, ErrorTextsNameEveryCode)
{
    Fake fake({ Fake::hold() });
    Session s(fake);
    const std::map<int32_t, std::string> names = {
        { -2, "MALLOC_ERROR" }, { -3, "THREAD_ERROR" }, { -4, "EVENT_OBJECT_ERROR" },
        { -5, "NON_EXISTENT_RECV_THREAD" }, { -6, "RECV_THREAD_TERMINATED" }, { -7, "INVALID_INPUT" },
        { -8, "ORN_SYSTEM_ERROR" }, { -9, "ORN_NETWORK_ERROR" }, { -101, "SOCKET_BIND_ERROR" },
        { -102, "SOCKET_CONNECTION_ERROR" }, { -103, "WINSOCK_SARTUP_ERROR" }, { -104, "DLL_VERSION_NOT_FOUND" },
        { -105, "UNABLE_TO_CREATE_SOCK" }, { -106, "ORN_SOCKET_ERROR" }, { -107, "PACKET_TOO_BIG" },
        { -108, "ORN_SENDING_ERROR" }, { -109, "ORN_RECIEVING_ERROR" }, { -110, "ORN_CONNECTION_CLOSED" },
        { -111, "ORN_UNECCESARY_EVENT_SET" }, { -112, "ORN_CONNECT_TIMED_OUT" }, { -113, "ORN_SEARCH_CANCELLED" },
        { -114, "ORN_WAIT_CANCELLED" }, { -115, "ORN_TLS_ERROR" }, { -116, "ORN_TLS_NOT_TRUSTED" },
        { -117, "ORN_CONTROL_NOT_FOUND" }, { -201, "ORN_BER_ENCODE_ERROR" },
        { -202, "ORN_BER_DECODE_ERROR" },
        { -203, "ORN_FUNC_PARAM_ERROR" }, { -204, "ORN_INVALID_MSGID" }, { -205, "ORN_NOT_INITIALISED" },
        { -206, "ORN_UNKNOWN_AUTHENTICATION" }, { -207, "ORN_AUTH_NOT_SUPPORTED" },
        { -208, "ORN_SERVER_NOTIFICATION" }, { -209, "ORN_NOT_BOUND" },
    };
    for (int32_t code = -300; code <= 300; ++code) {
        const char* text = nullptr;
        ASSERT_EQ(s.service.ErrorToString(code, &text), 0);
        const auto named = names.find(code);
        EXPECT_STREQ(text, named == names.end() ? "ORN_ERROR_CODE_NOT_DEFINED" : named->second.c_str()) << code;
    }

    const std::map<int32_t, std::string> results = {
        { 1, "Error in performing the specified operation" }, { 2, "Protocol Error" },
        { 3, "Time Limit Exceeded" }, { 4, "Size Limit Exceeded" }, { 5, "Compare False" }, { 6, "Compare True" },
        { 7, "Authentication Method Not Supported" }, { 8, "Strong Authentication Required" },
        { 9, "partial results" }, { 10, " Referral Error " }, { 11, "Admin Limit Exceeded " },
        { 12, " Unavailable Critical Exception" }, { 13, " Confidentiality Required" },
        { 14, " SASL Bind In Progress" }, { 16, " No Such Attribute" }, { 17, " Undefined Attribute Types" },
        { 18, "Inappropriate matching" }, { 19, " Constraint Violation" },
        { 20, "Attribute or values already exists" }, { 21, "Invalid Attribute Syntax" }, { 32, "No Such Objects" },
        { 33, " Alias Problem" }, { 34, " Invalid DN Syntax" }, { 35, " Is leaf" },
        { 36, "Alias Dereferencing Problem" }, { 48, " Inappropriate Authentication" },
        { 49, " Invalid Credentials  " }, { 50, " Insufficient access rights " }, { 51, " Busy" },
        { 52, " Unavailable" }, { 53, "Unwilling to perform the operation" }, { 54, "Loop Is Detected" },
        { 64, " Naming Violation" }, { 65, " Object Class Violation" }, { 66, " Not allowed On NonLeaf" },
        { 67, "Not allowed On RDN" }, { 68, " Entry Already Exists" },
        { 69, " Object Class Modification Prohibited" }, { 70, "Result too Large" },
        { 71, " Affect Multiple DSA's" }, { 80, " Other Error" }, { 81, " Server Is Down" }, { 82, " Local error" },
        { 83, " encoding Error" }, { 84, " Decoding Error" }, { 85, "TimeOut Ocuured" },
        { 86, "Unknown Authentication" }, { 87, " Filter Error" }, { 88, "User Error" }, { 89, " Parameter Error" },
        { 90, " No Memory Available" }, { 91, "Connection Error" }, { 92, " Not Supported" },
        { 93, " Control Not Found" }, { 94, " No Results Returned" }, { 95, " More Results to return" },
        { 96, "Client Loop" }, { 97, " Referral Limit Exceeded" },
    };
    for (int32_t code = -5; code <= 200; ++code) {
        const auto known = results.find(code);
        EXPECT_STREQ(OrnLdapService::LdapErrorToString(code),
                     known == results.end() ? " Error not defined in RFC" : known->second.c_str())
            << code;
    }
}

} // namespace
