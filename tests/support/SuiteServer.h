// The one server of a test suite, started by its SetUpTestSuite. gtest shows
// the tests of a suite whose set-up threw as skipped, and ctest counts such
// a skip as no failure; a server that cannot start here instead fails every
// test of the suite, with the server's own output. Only a server this
// machine cannot run at all (ServerUnavailable: not root, say) skips them,
// with the reason.
//
// Header-only, like FakeDesktop.h.
#pragma once

#include "tests/support/ServerProcess.h"
#include "tests/support/SlapdServer.h"

#include <gtest/gtest.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>

template <class Server, class Options> class SuiteServer {
public:
    void start(Options options)
    {
        try {
            server_ = std::make_unique<Server>(std::move(options));
        } catch (const server_process::ServerUnavailable& unavailable) {
            server_.reset();
            unavailable_ = unavailable.what();
        } catch (const std::exception& error) {
            server_.reset();
            error_ = error.what();
        }
    }
    void stop() { server_.reset(); }

    // For each test's SetUp: GTEST_SKIP() when this is not empty.
    const std::string& unavailable() const { return unavailable_; }
    // For each test's SetUp: ASSERT_TRUE(server.started()).
    ::testing::AssertionResult started() const
    {
        if (server_)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the suite's server did not start: " << error_;
    }

    Server& operator*() const { return *server_; }
    Server* operator->() const { return server_.get(); }
    explicit operator bool() const { return server_ != nullptr; }

private:
    std::unique_ptr<Server> server_;
    std::string unavailable_;
    std::string error_ = "it was never started";
};

using SuiteSlapd = SuiteServer<SlapdServer, SlapdOptions>;

// In a SetUp or a test body: skips the test, with the reason, when this
// machine cannot run the server; fails it when the server did not start.
#define ORN_REQUIRE_SERVER(suite)                                                                                     \
    if (!(suite).unavailable().empty())                                                                               \
        GTEST_SKIP() << (suite).unavailable();                                                                        \
    ASSERT_TRUE((suite).started())
