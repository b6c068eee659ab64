// The one slapd of a test suite, started by its SetUpTestSuite. gtest shows
// the tests of a suite whose set-up threw as skipped, and ctest counts such
// a skip as no failure; a server that cannot start here instead fails every
// test of the suite, with slapd's own output.
//
// Header-only, like FakeDesktop.h.
#pragma once

#include "tests/support/SlapdServer.h"

#include <gtest/gtest.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>

class SuiteSlapd {
public:
    void start(SlapdOptions options)
    {
        try {
            server_ = std::make_unique<SlapdServer>(std::move(options));
        } catch (const std::exception& error) {
            server_.reset();
            error_ = error.what();
        }
    }
    void stop() { server_.reset(); }

    // For each test's SetUp: ASSERT_TRUE(server.started()).
    ::testing::AssertionResult started() const
    {
        if (server_)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the suite's slapd did not start: " << error_;
    }

    SlapdServer& operator*() const { return *server_; }
    SlapdServer* operator->() const { return server_.get(); }
    explicit operator bool() const { return server_ != nullptr; }

private:
    std::unique_ptr<SlapdServer> server_;
    std::string error_ = "it was never started";
};
