// Shared by the login and logout tests: one slapd per suite, a fresh current
// folder per test with its own OrnIni.ini, the context the commands work
// with, and handlers that drive the login dialogs as a user would.
#pragma once

#include "browser/session/LoginDialog.h"
#include "tests/support/CoreSession.h"

#include <memory>
#include <string>

inline const std::string kAliceDn = "uid=alice,ou=People,dc=example,dc=com";
inline const std::string kBobDn = "uid=bob,ou=People,dc=example,dc=com";

template <bool AllowBindV2 = false>
class LoginSuite : public CoreFolderTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.allowBindV2 = AllowBindV2;
        server_ = std::make_unique<SlapdServer>(options);
    }
    static void TearDownTestSuite() { server_.reset(); }

    static SlapdServer& server() { return *server_; }
    static std::string port() { return std::to_string(server_->port()); }
    // name=host;port;base DN;user ID; for the suite's server.
    static std::string profile(const std::string& name, const std::string& userId,
                               const std::string& baseDn = SlapdServer::suffix())
    {
        return name + "=127.0.0.1;" + port() + ";" + baseDn + ";" + userId + ";\n";
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

private:
    static inline std::unique_ptr<SlapdServer> server_;
};
