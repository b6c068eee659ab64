// The service against a real slapd: binds, searches, compares, writes, the
// asynchronous calls, the schema read (and 389's) and a server that goes away.
#include "ldap/OrnInterface.h"
#include "ldap/OrnState.h"
#include "tests/support/Ds389Server.h"
#include "tests/support/SuiteServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int32_t kSimple = 0xA0;
constexpr int kBulkEntries = 250;
constexpr int kSizeLimit = 10; // for everyone but the admin
const char* const kAlice = "uid=alice,ou=People,dc=example,dc=com";
const char* const kBob = "uid=bob,ou=People,dc=example,dc=com";

std::string bulkLdif()
{
    std::string ldif = "dn: ou=Bulk,dc=example,dc=com\nobjectClass: organizationalUnit\nou: Bulk\n\n";
    for (int i = 0; i < kBulkEntries; ++i) {
        const std::string cn = "e" + std::to_string(i);
        ldif += "dn: cn=" + cn + ",ou=Bulk,dc=example,dc=com\nobjectClass: organizationalRole\ncn: " + cn + "\n\n";
    }
    return ldif;
}

bool waitForThreadEnd()
{
    for (int i = 0; i < 500 && !IsRecvThreadExited(); ++i)
        std::this_thread::sleep_for(10ms);
    return IsRecvThreadExited();
}

class ServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.ldifText = bulkLdif();
        options.sizeLimit = kSizeLimit;
        server_.start(options);
    }
    static void TearDownTestSuite() { server_.stop(); }
    void SetUp() override
    {
        ASSERT_TRUE(server_.started());
        service_.OrnSetHostName("127.0.0.1");
        service_.OrnSetPortNo(server_->port());
        ASSERT_EQ(service_.OrnInitialise(), 0);
    }
    void TearDown() override { service_.DestroyAll(); }

    // The values of one attribute of an entry, through the service's accessors;
    // they stay the entry's.
    std::set<std::string> values(EntryRecord* entry, const char* type)
    {
        std::set<std::string> out;
        ValueRecord* list = nullptr;
        if (service_.OrnGetValues(entry, type, &list) == 0) {
            for (ValueRecord* v = list; v; v = v->next)
                out.insert(v->data);
        }
        return out;
    }

    std::string dn(EntryRecord* entry)
    {
        char* text = nullptr;
        EXPECT_EQ(service_.OrnGetDn(entry, &text), 0);
        std::string out = text ? text : "<none>";
        OrnLdapService::OrnFreeDn(text);
        return out;
    }

    static inline SuiteSlapd server_;
    OrnLdapService service_;
};


TEST_F(ServiceTest, BindsAnonymouslyOrWithAPasswordAndRefusesWrongCredentials)
{
    EXPECT_EQ(service_.OrnBindSync("", "", kSimple), 0);
    EXPECT_EQ(service_.OrnBindSync(kAlice, "alice-pw", kSimple), 0);
    EXPECT_EQ(service_.OrnBindSync("uid=carol,ou=People,dc=example,dc=com", "carol-pw", kSimple), 0);
    EXPECT_EQ(service_.OrnBindSync(kAlice, "bob-pw", kSimple), 49);
    EXPECT_EQ(service_.OrnBindSync("uid=nobody,ou=People,dc=example,dc=com", "x", kSimple), 49);
    EXPECT_EQ(service_.OrnBindSync("", "", 0xA3), ORN_AUTH_NOT_SUPPORTED);
}

// slapd closes the connection after an unbind, which ends the session.
TEST_F(ServiceTest, UnbindNeedsABindAndEndsTheSession)
{
    EXPECT_EQ(service_.OrnUnbindSync(), ORN_NOT_BOUND);
    ASSERT_EQ(service_.OrnBindSync("", "", kSimple), 0);
    EXPECT_EQ(service_.OrnUnbindSync(), 0);
    ASSERT_TRUE(waitForThreadEnd());
    EXPECT_EQ(service_.OrnUnbindSync(), RECV_THREAD_TERMINATED);
    EXPECT_EQ(service_.OrnCompareSync(kAlice, "uid", "alice"), RECV_THREAD_TERMINATED);
}

TEST_F(ServiceTest, SearchCollectsEveryEntryOfALargeResult)
{
    ASSERT_EQ(service_.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), kSimple), 0);
    EntryRecord* result = nullptr;
    ASSERT_EQ(service_.OrnSearchSync("ou=Bulk,dc=example,dc=com", "objectclass=organizationalRole", nullptr, 0, 1,
                                     &result),
              0);
    EXPECT_EQ(service_.OrnCountEntries(result), kBulkEntries);
    std::set<std::string> seen;
    EntryRecord* entry = nullptr;
    for (service_.OrnFirstEntry(result, &entry); entry && !entry->end_of_search;
         service_.OrnNextEntry(entry, &entry)) {
        const std::string name = dn(entry);
        EXPECT_EQ("cn=" + *values(entry, "cn").begin() + ",ou=Bulk,dc=example,dc=com", name);
        seen.insert(name);
    }
    EXPECT_EQ(seen.size(), size_t(kBulkEntries));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->next, nullptr);
    OrnLdapService::OrnFreeResult(result);

    char* attrs[] = { const_cast<char*>("mail"), nullptr };
    ASSERT_EQ(service_.OrnSearchSync(kAlice, "objectclass=*", attrs, 0, 0, &result), 0);
    EXPECT_EQ(service_.OrnCountEntries(result), 1);
    EXPECT_EQ(values(result, "mail"), std::set<std::string>{ "alice@example.com" });
    EXPECT_TRUE(values(result, "cn").empty());
    OrnLdapService::OrnFreeResult(result);
}

// A refusal is the server's code with what arrived: nothing below a missing
// base, the first kSizeLimit entries when the limit cuts the search short.
TEST_F(ServiceTest, SearchReportsTheServersResultWithTheEntriesThatArrived)
{
    struct Refused {
        const char* base;
        int32_t scope;
        int32_t code;
        int entries;
    };
    for (const Refused& r : { Refused { "ou=Nowhere,dc=example,dc=com", 2, 32, 0 },
             Refused { "ou=Bulk,dc=example,dc=com", 1, 4, kSizeLimit } }) {
        EntryRecord* result = nullptr;
        EXPECT_EQ(service_.OrnSearchSync(r.base, "objectclass=*", nullptr, 0, r.scope, &result), r.code) << r.base;
        ASSERT_NE(result, nullptr) << r.base;
        EXPECT_EQ(service_.OrnCountEntries(result), r.entries) << r.base;
        EntryRecord* last = result;
        while (last->next)
            last = last->next;
        EXPECT_EQ(last->end_of_search, 1) << r.base;
        EXPECT_EQ(last->attrs, nullptr) << r.base;
        OrnLdapService::OrnFreeResult(result);
    }
}

// Each page's search done hands back the cookie for the next page, empty
// after the last; the server's limit still holds for anyone but the admin.
TEST_F(ServiceTest, PagedSearchHandsBackTheCookieUntilTheLastPage)
{
    struct Case {
        bool admin;
        std::vector<int> pages;
        int32_t lastCode;
    };
    for (const Case& c : { Case { true, { 100, 100, 50 }, 0 }, Case { false, { kSizeLimit }, 4 } }) {
        SCOPED_TRACE(c.admin ? "admin" : "anonymous");
        if (c.admin) {
            ASSERT_EQ(service_.OrnBindSync("cn=admin,dc=example,dc=com", "secret", kSimple), 0);
        }
        std::vector<int> pages;
        std::string noAttributes = "1.1";
        char* attrs[] = { noAttributes.data(), nullptr };
        BerValue* cookie = nullptr;
        int32_t code = 0;
        do {
            OrnControl* control = nullptr;
            ASSERT_EQ(OrnCreatePageControl(100, cookie, 0, &control), 0);
            BerCodec().ber_bvfree(cookie);
            cookie = nullptr;
            OrnControl* controls[] = { control, nullptr };
            EntryRecord* result = nullptr;
            OrnControl** response = nullptr;
            code = service_.OrnSearchSyncExt(
                "ou=Bulk,dc=example,dc=com", "objectclass=*", attrs, 0, 1, controls, &result, &response);
            OrnFreeControl(control);
            pages.push_back(service_.OrnCountEntries(result));
            OrnLdapService::OrnFreeResult(result);
            int32_t estimate = 0;
            if (code == 0) {
                EXPECT_EQ(OrnParsePageControl(response, &estimate, &cookie), 0);
            }
            OrnFreeControls(response);
        } while (code == 0 && cookie && cookie->length > 0);
        BerCodec().ber_bvfree(cookie);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(code, c.lastCode);
        service_.DestroyAll();
        ASSERT_EQ(service_.OrnInitialise(), 0);
    }
}

TEST_F(ServiceTest, AddsModifiesRenamesAndDeletes)
{
    ASSERT_EQ(service_.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), kSimple), 0);
    const char* dn = "cn=Svc Write,dc=example,dc=com";
    char* classes[] = { const_cast<char*>("organizationalRole"), nullptr };
    char* cn[] = { const_cast<char*>("Svc Write"), nullptr };
    char* first[] = { const_cast<char*>("first"), nullptr };
    AttrMod objectClass { ATTR_MOD_ADD, const_cast<char*>("objectClass"), { classes } };
    AttrMod name { ATTR_MOD_ADD, const_cast<char*>("cn"), { cn } };
    AttrMod description { ATTR_MOD_ADD, const_cast<char*>("description"), { first } };
    AttrMod* attrs[] = { &objectClass, &name, &description, nullptr };
    EXPECT_EQ(service_.OrnAddSync(dn, attrs), 0);
    EXPECT_EQ(service_.OrnAddSync(dn, attrs), 68);
    EXPECT_EQ(service_.OrnCompareSync(dn, "description", "first"), 6);

    char* second[] = { const_cast<char*>("second"), nullptr };
    AttrMod replace { ATTR_MOD_REPLACE, const_cast<char*>("description"), { second } };
    AttrMod* mods[] = { &replace, nullptr };
    EXPECT_EQ(service_.OrnModifySync(dn, mods), 0);
    EXPECT_EQ(service_.OrnCompareSync(dn, "description", "second"), 6);

    EXPECT_EQ(service_.OrnModifyRdnSync(dn, "cn=Svc Renamed", 1), 0);
    EXPECT_EQ(service_.OrnCompareSync(dn, "cn", "Svc Write"), 32);
    const char* renamed = "cn=Svc Renamed,dc=example,dc=com";
    EXPECT_EQ(service_.OrnCompareSync(renamed, "cn", "Svc Write"), 5);
    EXPECT_EQ(service_.OrnDeleteSync(renamed), 0);
    EXPECT_EQ(service_.OrnDeleteSync(renamed), 32);

    EXPECT_EQ(service_.OrnDeleteSync("ou=Projects,dc=example,dc=com"), 66);
}

TEST_F(ServiceTest, AsynchronousCallsAreCollectedInAnyOrder)
{
    ASSERT_EQ(service_.OrnBindSync("", "", kSimple), 0); // message id 1
    const int32_t yes = service_.OrnCompare(kAlice, "uid", "alice");
    const int32_t no = service_.OrnCompare(kBob, "uid", "alice");
    const int32_t missing = service_.OrnDelete("cn=missing,dc=example,dc=com");
    EXPECT_EQ(yes, 2);
    EXPECT_EQ(no, 3);
    EXPECT_EQ(missing, 4);
    EXPECT_EQ(service_.OrnLdapResult(missing, nullptr), 8); // anonymous may not write
    EXPECT_EQ(service_.OrnLdapResult(no, nullptr), 5);
    EXPECT_EQ(service_.OrnLdapResult(yes, nullptr), 6);
    EXPECT_EQ(service_.OrnLdapResult(yes, nullptr), ORN_INVALID_MSGID);

    const int32_t search = service_.OrnSearch("ou=People,dc=example,dc=com", "objectclass=inetOrgPerson", nullptr,
                                              0, 1);
    EXPECT_EQ(search, 5);
    int entries = 0;
    for (bool done = false; !done;) {
        EntryRecord* batch = nullptr;
        ASSERT_EQ(service_.OrnLdapResult(search, &batch), 0);
        for (EntryRecord* e = batch; e; e = e->next) {
            done = e->end_of_search == 1;
            entries += done ? 0 : 1;
        }
        OrnLdapService::OrnFreeResult(batch);
    }
    EXPECT_EQ(entries, 3);
}

// slapd keeps its subschema at cn=Subschema and answers a search based at
// cn=Schema with noSuchObject (32).
TEST_F(ServiceTest, ReadSchemaAsksForCnSchemaWithoutASizeLimit)
{
    service_.OrnSetSizeLimit(5);
    EntryRecord* result = nullptr;
    ASSERT_EQ(service_.OrnReadSchema(&result), 32);
    EXPECT_EQ(service_.OrnGetSizeLimit(), 0);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->end_of_search, 1);
    EXPECT_EQ(result->next, nullptr);
    OrnLdapService::OrnFreeResult(result);
}

// 389 names its subschema entry cn=schema and returns its definitions only
// when they are asked for by name: the read names them.
TEST(ServiceOn389, ReadSchemaNamesTheDefinitionsItWants)
{
    SuiteServer<Ds389Server, Ds389Options> server;
    server.start({});
    ORN_REQUIRE_SERVER(server);
    OrnLdapService service("127.0.0.1", server->port());
    ASSERT_EQ(service.OrnInitialise(), 0);
    ASSERT_EQ(service.OrnBindSync("", "", kSimple), 0);
    EntryRecord* result = nullptr;
    ASSERT_EQ(service.OrnReadSchema(&result), 0);
    for (const char* type : { "objectClasses", "attributeTypes", "ldapSyntaxes", "matchingRules" }) {
        ValueRecord* values = nullptr;
        EXPECT_EQ(service.OrnGetValues(result, type, &values), 0) << type;
        EXPECT_NE(values, nullptr) << type;
    }
    OrnLdapService::OrnFreeResult(result);
    service.DestroyAll();
}

TEST_F(ServiceTest, AVersionTwoBindIsRefusedByDefault)
{
    ASSERT_EQ(service_.OrnSetLdapVersion(2), 0);
    EXPECT_EQ(service_.OrnBindSync("", "", kSimple), 2);
}

TEST(ServiceStoppedServer, AnswersMinusSixUntilANewConnection)
{
    SlapdOptions options;
    options.ldifFile = SlapdServer::testDirectoryLdif();
    SlapdServer server(options);
    OrnLdapService service("127.0.0.1", server.port());
    ASSERT_EQ(service.OrnInitialise(), 0);
    ASSERT_EQ(service.OrnBindSync("", "", kSimple), 0);
    server.kill();
    ASSERT_TRUE(waitForThreadEnd());
    EntryRecord* result = nullptr;
    EXPECT_EQ(service.OrnSearchSync(kAlice, "objectclass=*", nullptr, 0, 0, &result), RECV_THREAD_TERMINATED);
    EXPECT_EQ(service.OrnCompareSync(kAlice, "uid", "alice"), RECV_THREAD_TERMINATED);
    EXPECT_EQ(service.OrnDelete(kAlice), RECV_THREAD_TERMINATED);
    EXPECT_EQ(service.OrnGetErrorNo(), ORN_RECIEVING_ERROR);
    EXPECT_EQ(service.DestroyAll(), 0);
    EXPECT_EQ(service.OrnInitialise(), SOCKET_CONNECTION_ERROR);

    server.restart();
    ASSERT_EQ(service.OrnInitialise(), 0);
    EXPECT_EQ(service.OrnCompare(kAlice, "uid", "alice"), 1);
    EXPECT_EQ(service.OrnLdapResult(1, nullptr), 6);
}

} // namespace
