// Shared by the core tests: a fresh, empty current folder per test (the
// program names its files relative to it), the context the commands work
// with, and a session with the suite's slapd as a login leaves it.
//
// Header-only, like FakeDesktop.h, so that tests/support does not link the core.
#pragma once

#include "browser/BrowserSession.h"
#include "browser/session/LoginBind.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/FixedClock.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/SuiteServer.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

class CoreFolderTest : public ::testing::Test {
protected:
    static void write(const std::string& name, const std::string& text)
    {
        std::ofstream(name, std::ios::binary) << text;
    }
    static std::string read(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        return in ? std::string { std::istreambuf_iterator<char>(in), {} } : "<missing>";
    }
    const std::filesystem::path& folder() const { return folder_.path(); }

private:
    // First, so that it is made before and removed after everything below.
    CurrentTemporaryFolder folder_ { "orn-core" };

protected:
    FakeDesktop desktop;

private:
    std::unique_ptr<FixedClock> ownClock_ = std::make_unique<FixedClock>(2026, 12, 5, 16, 1, 2);

protected:
    FixedClock& clock = *ownClock_;
    BrowserSession session { desktop, std::move(ownClock_), Registry { "/nonexistent" } };
    ViewState& state = session.state();
    OrnLdapService& service = session.service();
    AppContext& context = session.context();

    // Bound anonymously to a scripted peer listening on the port, with the
    // connection and flags a login leaves.
    void logInToPeer(uint16_t port, const std::string& baseDn = "")
    {
        service.OrnSetLdapVersion(3);
        service.OrnSetHostName("127.0.0.1");
        service.OrnSetPortNo(port);
        ASSERT_EQ(service.OrnInitialise(), 0);
        ASSERT_EQ(service.OrnBindSync("", "", kSimpleBind), 0);
        state.connection.host = "127.0.0.1";
        state.connection.baseDn = baseDn;
        state.flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
    }
};

// One slapd per suite: the suite's SetUpTestSuite calls startServer. A test
// that stops or freezes the server gets it back for the next one.
class CoreSessionTest : public CoreFolderTest {
protected:
    static void startServer(SlapdOptions options) { server_.start(std::move(options)); }
    static void TearDownTestSuite() { server_.stop(); }
    void SetUp() override { ASSERT_TRUE(server_.started()); }
    ~CoreSessionTest() override
    {
        service.DestroyAll();
        if (server_ && !server_->running())
            server_->restart();
        else if (server_)
            server_->thaw();
    }

    static SlapdServer& server() { return *server_; }

    // Bound as the admin, with the connection, flags and subschema DN a
    // login leaves.
    void logInAsAdmin(const std::string& baseDn = SlapdServer::suffix())
    {
        logInAs(SlapdServer::adminDn(), SlapdServer::adminPassword(), baseDn);
    }
    // The same, bound as another user.
    void logInAs(const std::string& dn, const std::string& password, const std::string& baseDn = SlapdServer::suffix())
    {
        ASSERT_TRUE(server_.started());
        service.OrnSetLdapVersion(3);
        service.OrnSetHostName(kHost);
        service.OrnSetPortNo(server_->port());
        ASSERT_EQ(service.OrnInitialise(), 0);
        ASSERT_EQ(service.OrnBindSync(dn.c_str(), password.c_str(), kSimpleBind), 0);
        ConnectionSettings& connection = state.connection;
        connection.host = kHost;
        connection.port = server_->port();
        connection.baseDn = baseDn;
        connection.userId = dn;
        connection.bindDn = dn;
        connection.userType = "Valid User";
        state.subschemaDn = "cn=Subschema";
        state.flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
    }

    static constexpr const char* kHost = "127.0.0.1";

private:
    static inline SuiteSlapd server_;
};
