// Secured connections: LDAPS and StartTLS against slapd with a test CA, a
// certificate that fails its checks, and the scripted peer for what slapd
// will not do (refuse StartTLS, close in the middle of the handshake, slip
// octets in the clear after its answer).
#include "ldap/OrnCodes.h"
#include "ldap/OrnInterface.h"
#include "ldap/OrnTls.h"
#include "tests/ldap/Messages.h"
#include "tests/support/FakeLdapServer.h"
#include "tests/support/SuiteServer.h"
#include "tests/support/TestCertificates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace std::chrono_literals;

constexpr int32_t kSimple = 0xA0;
constexpr int32_t kExtendedResponse = 0x78;
constexpr int32_t kUnavailable = 52;

// The request every client sends: messageID 1, requestName 1.3.6.1.4.1.1466.20037.
const std::string kOid = "1.3.6.1.4.1.1466.20037";
const Bytes kStartTlsRequest = hex("30 1d 02 01 01 77 18 80 16") + Bytes(kOid.begin(), kOid.end());

class TlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = server_process::makeTemporaryDirectory("orn-tls");
        certificates_ = std::make_unique<TestCertificates>(folder_);
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.tlsCertificateFile = certificates_->certificateFile();
        options.tlsKeyFile = certificates_->keyFile();
        server_.start(options);
    }
    static void TearDownTestSuite()
    {
        server_.stop();
        certificates_.reset();
        std::filesystem::remove_all(folder_);
    }
    void SetUp() override
    {
        ASSERT_TRUE(server_.started());
        ::setenv("SSL_CERT_FILE", certificates_->caFile().c_str(), 1);
    }
    void TearDown() override
    {
        service_.DestroyAll();
        ::unsetenv("SSL_CERT_FILE");
    }

    int32_t connect(int32_t security, const char* host = "127.0.0.1")
    {
        service_.OrnSetHostName(host);
        service_.OrnSetPortNo(security == ORN_SECURITY_LDAPS ? server_->ldapsPort() : server_->port());
        EXPECT_EQ(service_.OrnSetSecurity(security), 0);
        return service_.OrnInitialise();
    }

    int32_t countEntries()
    {
        EntryRecord* result = nullptr;
        const int32_t code = service_.OrnSearchSync(SlapdServer::suffix(), "objectclass=*", nullptr, 0, 2, &result);
        const int32_t count = code == 0 ? service_.OrnCountEntries(result) : -1000 + code;
        OrnLdapService::OrnFreeResult(result);
        return count;
    }

    static inline std::string folder_;
    static inline std::unique_ptr<TestCertificates> certificates_;
    static inline SuiteSlapd server_;
    OrnLdapService service_;
};

class SecuredLogin : public TlsTest, public ::testing::WithParamInterface<int32_t> { };

// The same bind and searches as over plain TCP, many of them, so that the
// receive thread reads while this thread writes.
TEST_P(SecuredLogin, BindsAndSearchesAsOverPlainTcp)
{
    ASSERT_EQ(connect(ORN_SECURITY_PLAIN), 0);
    ASSERT_EQ(service_.OrnGetTlsPeer(), nullptr);
    const int32_t plainCount = countEntries();
    ASSERT_GT(plainCount, 1);
    service_.DestroyAll();

    ASSERT_EQ(connect(GetParam()), 0);
    const OrnTlsPeer* peer = service_.OrnGetTlsPeer();
    ASSERT_NE(peer, nullptr);
    EXPECT_TRUE(peer->verified) << peer->reason;
    EXPECT_EQ(peer->fingerprint, certificates_->fingerprint());
    EXPECT_EQ(peer->subject, "CN=test server,O=Velmora tests");
    EXPECT_EQ(peer->issuer, "CN=Velmora test CA,O=Velmora tests");
    EXPECT_EQ(service_.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), kSimple), 0);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(countEntries(), plainCount);
}

INSTANTIATE_TEST_SUITE_P(Modes, SecuredLogin, ::testing::Values(ORN_SECURITY_LDAPS, ORN_SECURITY_STARTTLS));

// A certificate from a CA the system does not know: nothing goes out until
// the caller trusts it.
TEST_F(TlsTest, UnverifiedPeerGetsNothingUntilTrusted)
{
    ::unsetenv("SSL_CERT_FILE");
    ASSERT_EQ(connect(ORN_SECURITY_LDAPS), 0);
    const OrnTlsPeer* peer = service_.OrnGetTlsPeer();
    ASSERT_NE(peer, nullptr);
    EXPECT_FALSE(peer->verified);
    EXPECT_EQ(peer->reason, "unable to get local issuer certificate");
    EXPECT_EQ(service_.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), kSimple), ORN_SENDING_ERROR);
    EXPECT_EQ(service_.OrnGetErrorNo(), ORN_TLS_NOT_TRUSTED);
    EXPECT_EQ(service_.OrnTrustPeer(), 0);
    EXPECT_EQ(service_.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), kSimple), 0);
}

struct ScriptedRow {
    const char* name;
    int32_t security;
    FakeLdapServer::Script script;
    int32_t result;
};

class ScriptedPeer : public ::testing::TestWithParam<ScriptedRow> { };

// Whatever the peer does, the login ends with its answer or ORN_TLS_ERROR,
// and nothing but the StartTLS request ever leaves in the clear.
TEST_P(ScriptedPeer, EndsTheLoginWithNothingMoreSent)
{
    const ScriptedRow& row = GetParam();
    FakeLdapServer peer(row.script);
    OrnLdapService service;
    service.OrnSetHostName("127.0.0.1");
    service.OrnSetPortNo(peer.port());
    service.OrnSetConnectTimeout(10000);
    service.OrnSetSecurity(row.security);
    EXPECT_EQ(service.OrnInitialise(), row.result);
    const bool held = row.script.back().kind == FakeLdapServer::Step::Kind::Hold;
    ASSERT_TRUE(held ? peer.waitForClientClose(5s) : peer.waitForScriptEnd(5s));
    const Bytes sent = peer.received();
    if (row.security == ORN_SECURITY_STARTTLS) {
        ASSERT_GE(sent.size(), kStartTlsRequest.size());
        EXPECT_EQ(toHex(Bytes(sent.begin(), sent.begin() + kStartTlsRequest.size())), toHex(kStartTlsRequest));
    }
    if (row.result == kUnavailable) {
        EXPECT_EQ(toHex(sent), toHex(kStartTlsRequest));
        EXPECT_STREQ(service.OrnGetStartTlsAnswer(), "TLS not configured");
    } else {
        // A TLS record (a ClientHello) followed the request, if anything did.
        const size_t hello = row.security == ORN_SECURITY_STARTTLS ? kStartTlsRequest.size() : 0;
        ASSERT_GT(sent.size(), hello);
        EXPECT_EQ(sent[hello], 0x16);
    }
    EXPECT_EQ(service.OrnBindSync("cn=x", "secret", kSimple), ORN_NOT_INITIALISED);
}

using Step = FakeLdapServer;
const Bytes kStarted = resultMessage(1, kExtendedResponse, 0);

INSTANTIATE_TEST_SUITE_P(Peers, ScriptedPeer,
    ::testing::Values(
        ScriptedRow { "StartTlsRefused", ORN_SECURITY_STARTTLS,
            { Step::receiveMessage(), Step::send(resultMessage(1, kExtendedResponse, kUnavailable, "", "TLS not configured")),
                Step::hold() },
            kUnavailable },
        ScriptedRow { "LdapsClosedInHandshake", ORN_SECURITY_LDAPS, { Step::receive(5), Step::close() }, ORN_TLS_ERROR },
        ScriptedRow { "StartTlsClosedInHandshake", ORN_SECURITY_STARTTLS,
            { Step::receiveMessage(), Step::send(kStarted), Step::receive(5), Step::close() }, ORN_TLS_ERROR },
        // Octets behind the answer are the handshake's, not a message read in the clear.
        ScriptedRow { "StartTlsAnswerWithClearTail", ORN_SECURITY_STARTTLS,
            { Step::receiveMessage(), Step::send(kStarted + resultMessage(2, 0x61, 0)), Step::hold() },
            ORN_TLS_ERROR }),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
