// Shared by the login and logout tests: one slapd per suite, a fresh current
// folder per test with its own OrnIni.ini, the context the commands work
// with, and handlers that drive the login dialogs as a user would.
#pragma once

#include "AppContext.h"
#include "FakeDesktop.h"
#include "FixedClock.h"
#include "LoginDialog.h"
#include "OrnInterface.h"
#include "Registry.h"
#include "SlapdServer.h"
#include "ViewState.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

inline const std::string kAliceDn = "uid=alice,ou=People,dc=example,dc=com";
inline const std::string kBobDn = "uid=bob,ou=People,dc=example,dc=com";

template <bool AllowBindV2 = false>
class LoginSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.allowBindV2 = AllowBindV2;
        server_ = std::make_unique<SlapdServer>(options);
    }
    static void TearDownTestSuite() { server_.reset(); }

    LoginSuite()
    {
        static int serial = 0;
        folder_ = std::filesystem::temp_directory_path()
            / ("orn-login-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
    }
    ~LoginSuite() override
    {
        service.DestroyAll();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    static SlapdServer& server() { return *server_; }
    static std::string port() { return std::to_string(server_->port()); }
    // name=host;port;base DN;user ID; for the suite's server.
    static std::string profile(const std::string& name, const std::string& userId,
                               const std::string& baseDn = SlapdServer::suffix())
    {
        return name + "=127.0.0.1;" + port() + ";" + baseDn + ";" + userId + ";\n";
    }
    static void write(const std::string& name, const std::string& text)
    {
        std::ofstream(name, std::ios::binary) << text;
    }
    static std::string read(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static std::string connectedTitle(const std::string& userType)
    {
        return "Velmora LDAP Browser: LDAP:\\\\127.0.0.1 :" + port() + ": " + userType;
    }

    // Chooses the profile name and user detail by position, types the
    // password, picks the version ("2" is item 0) and presses Connect once.
    static FakeDesktop::DialogHandler connectWith(int name, int detail, std::string password, int version = 1)
    {
        return [=](DialogModel& model) {
            auto& dialog = dynamic_cast<LoginDialog&>(model);
            dialog.chooseProfileName(name);
            dialog.chooseUserDetail(detail);
            dialog.setPassword(password);
            dialog.chooseVersion(version);
            dialog.connect();
        };
    }

    // A search that needs a live connection.
    int32_t searchBase()
    {
        EntryRecord* result = nullptr;
        int32_t found = service.OrnSearchSync(SlapdServer::suffix(), "objectclass=*", nullptr, 0, 0, &result);
        OrnLdapService::OrnFreeResult(result);
        return found;
    }

    FakeDesktop desktop;
    FixedClock clock {2026, 12, 5, 16, 1, 2};
    Registry registry {"/nonexistent"};
    ViewState state;
    OrnLdapService service;
    AppContext context {desktop, clock, registry, state, service};

private:
    static inline std::unique_ptr<SlapdServer> server_;
    std::filesystem::path previous_ = std::filesystem::current_path();
    std::filesystem::path folder_;
};
