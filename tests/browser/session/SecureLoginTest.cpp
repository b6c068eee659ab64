// Secured logins against slapd with a test CA: LDAPS and StartTLS, the
// "Server Certificate" dialog for each way a certificate can be in doubt and
// each answer to it, a trusted certificate that changed, and a StartTLS
// that a server without TLS refuses.
#include "browser/session/CertificateDialog.h"
#include "browser/session/CertificateTrust.h"
#include "browser/session/ProfileFile.h"
#include "tests/browser/session/LoginFixture.h"
#include "tests/support/TestCertificates.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

using Trust = CertificateDialog::Trust;

class SecureLogin : public LoginSuite {
protected:
    static void SetUpTestSuite()
    {
        folder_ = server_process::makeTemporaryDirectory("orn-tls");
        certificates_ = std::make_unique<TestCertificates>(folder_);
        SlapdOptions options = directory();
        options.tlsCertificateFile = certificates_->certificateFile();
        options.tlsKeyFile = certificates_->keyFile();
        startServer(options);
    }
    static void TearDownTestSuite()
    {
        LoginSuite::TearDownTestSuite();
        certificates_.reset();
        std::filesystem::remove_all(folder_);
    }
    void SetUp() override
    {
        LoginSuite::SetUp();
        ::setenv("SSL_CERT_FILE", certificates_->caFile().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("SSL_CERT_FILE"); }

    // One anonymous profile; the Login dialog connects with it.
    void logInAnonymously(const std::string& hostField, uint16_t at)
    {
        write(kProfileFileName, "p=" + hostField + ";" + std::to_string(at) + ";" + SlapdServer::suffix() + ";;\n");
        logInWith(connectWith(0, 0, ""));
    }
    // A fresh view for the next login of the same test.
    void startOver()
    {
        service.DestroyAll();
        state.flags = {};
        state.connection.clear();
    }

    static inline std::string folder_;
    static inline std::unique_ptr<TestCertificates> certificates_;
};

struct ModeRow {
    const char* scheme;
    const char* name;
    bool ldapsPort;
};

class SecureModes : public SecureLogin, public ::testing::WithParamInterface<ModeRow> { };

TEST_P(SecureModes, LogInAndSaySoInTitleAndStatusBar)
{
    const ModeRow& row = GetParam();
    const uint16_t port = row.ldapsPort ? server().ldapsPort() : server().port();
    const std::string at = std::to_string(port);
    logInAnonymously(std::string(row.scheme) + "127.0.0.1", port);
    EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
    EXPECT_TRUE(state.flags.loggedIn);
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Anonymous User", at) + " (secured by " + row.name + ")");
    EXPECT_EQ(desktop.lastStatus(), "Connected to 127.0.0.1 :" + at + ", secured by " + row.name);
    EXPECT_EQ(searchBase(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, SecureModes,
    ::testing::Values(ModeRow { "ldaps://", "LDAPS", true }, ModeRow { "starttls://", "StartTLS", false }),
    [](const auto& row) { return std::string(row.param.name); });

struct DoubtRow {
    const char* name;
    TestCertificates::Server certificate;
    const char* host;
    const char* reason;
};

class CertificateInDoubt : public SecureLogin, public ::testing::WithParamInterface<DoubtRow> {
protected:
    void TearDown() override
    {
        certificates_->issue({});
        server().restart();
        SecureLogin::TearDown();
    }
};

// Cancel ends the login; Trust once logs in and keeps nothing; Trust always
// logs in, pins the certificate, and the next login asks nothing.
TEST_P(CertificateInDoubt, EachAnswer)
{
    const DoubtRow& row = GetParam();
    certificates_->issue(row.certificate);
    server().restart();
    const std::string server = std::string(row.host) + ":" + std::to_string(this->server().ldapsPort());
    const std::string fingerprint = certificates_->fingerprint();
    for (Trust answer : { Trust::None, Trust::Once, Trust::Always }) {
        onDialog<CertificateDialog>(desktop, [&](CertificateDialog& dialog) {
            EXPECT_EQ(dialog.warning(), "The certificate of " + server + " cannot be verified: " + row.reason + ".");
            EXPECT_EQ(dialog.fingerprint(), fingerprint);
            EXPECT_EQ(dialog.subject(), "CN=test server,O=Velmora tests");
            EXPECT_NE(dialog.validity().find(" to "), std::string::npos);
            if (answer == Trust::Once)
                dialog.trustOnce();
            else if (answer == Trust::Always)
                dialog.trustAlways();
        });
        logInAnonymously(std::string("ldaps://") + row.host, this->server().ldapsPort());
        EXPECT_EQ(desktop.dialogsRun.back(), CertificateDialog::kResource);
        EXPECT_EQ(state.flags.loggedIn, answer != Trust::None);
        EXPECT_EQ(read(kTrustFileName), answer == Trust::Always ? server + "=" + fingerprint + "\n" : "<missing>");
        startOver();
    }
    const size_t dialogs = desktop.dialogsRun.size();
    logInAnonymously(std::string("ldaps://") + row.host, this->server().ldapsPort());
    EXPECT_TRUE(state.flags.loggedIn);
    EXPECT_EQ(desktop.dialogsRun.size(), dialogs + 1) << "only the Login dialog";
}

INSTANTIATE_TEST_SUITE_P(Kinds, CertificateInDoubt,
    ::testing::Values(DoubtRow { "WrongHost", { .names = "IP:127.0.0.1" }, "localhost", "hostname mismatch" },
        DoubtRow { "Expired", { .fromDays = -30, .toDays = -1 }, "127.0.0.1", "certificate has expired" },
        DoubtRow { "UnknownCa", { .unknownIssuer = true }, "127.0.0.1", "unable to get local issuer certificate" }),
    [](const auto& row) { return std::string(row.param.name); });

// A verified certificate that is not the one trusted for the server is
// refused unless the user trusts it, and then takes the old one's place.
TEST_F(SecureLogin, ChangedCertificateNamesBothFingerprints)
{
    const std::string server = "127.0.0.1:" + std::to_string(this->server().ldapsPort());
    const std::string old = "00:11:22:33";
    write(kTrustFileName, "other:636=AA:BB\n" + server + "=" + old + "\n");
    const std::string presented = certificates_->fingerprint();
    for (Trust answer : { Trust::None, Trust::Always }) {
        onDialog<CertificateDialog>(desktop, [&](CertificateDialog& dialog) {
            EXPECT_EQ(dialog.warning(), "The certificate of " + server + " has changed since you trusted it. The "
                "connection is refused unless you trust the new certificate.\nTrusted before: " + old
                + "\nPresented now: " + presented);
            if (answer == Trust::Always)
                dialog.trustAlways();
        });
        logInAnonymously("ldaps://127.0.0.1", this->server().ldapsPort());
        EXPECT_EQ(state.flags.loggedIn, answer == Trust::Always);
        startOver();
    }
    EXPECT_EQ(read(kTrustFileName), "other:636=AA:BB\n" + server + "=" + presented + "\n");
}

// slapd without a certificate refuses StartTLS; the login ends there.
class StartTlsRefused : public LoginSuite { };

TEST_F(StartTlsRefused, EndsTheLoginWithTheServersAnswer)
{
    write(kProfileFileName, "p=starttls://127.0.0.1;" + port() + ";" + SlapdServer::suffix() + ";;\n");
    logInWith([](LoginDialog& dialog) {
        connectWith(0, 0, "")(dialog);
        EXPECT_EQ(dialog.security().text, "StartTLS");
    });
    const std::string text = "The server refused to start TLS on 127.0.0.1 :" + port()
        + ": Protocol Error (unsupported extended operation).";
    EXPECT_EQ(desktop.boxes, Boxes { errorBox(text) });
    EXPECT_EQ(desktop.lastStatus(), text);
    EXPECT_FALSE(state.flags.loggedIn);
}

} // namespace
