// Shared by the login and logout tests: the suite's slapd holds the test
// directory, each test writes its own OrnIni.ini, and handlers drive the
// Login dialog as a user would.
#pragma once

#include "browser/session/LoginDialog.h"
#include "tests/browser/BrowserTest.h"

#include <string>

inline const std::string kAliceDn = "uid=alice,ou=People,dc=example,dc=com";
inline const std::string kBobDn = "uid=bob,ou=People,dc=example,dc=com";

class LoginSuite : public BrowserTest {
protected:
    static SlapdOptions directory(bool allowBindV2 = false)
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.allowBindV2 = allowBindV2;
        return options;
    }
    static void SetUpTestSuite() { startServer(directory()); }

    static std::string port() { return std::to_string(server().port()); }
    // name=host;port;base DN;user ID; for the suite's server, or another port.
    static std::string profile(const std::string& name, const std::string& userId, std::string at = port())
    {
        return name + "=127.0.0.1;" + at + ";" + SlapdServer::suffix() + ";" + userId + ";\n";
    }
    static std::string connectedTitle(const std::string& userType, std::string at = port())
    {
        return "Velmora LDAP Browser: LDAP:\\\\127.0.0.1 :" + at + ": " + userType;
    }

    // Chooses the profile name and user detail by position, types the
    // password, picks the version ("2" is item 0) and presses Connect once.
    static auto connectWith(int name, int detail, std::string password, int version = 1)
    {
        return [=](LoginDialog& dialog) {
            dialog.chooseProfileName(name);
            dialog.chooseUserDetail(detail);
            dialog.setPassword(password);
            dialog.chooseVersion(version);
            dialog.connect();
        };
    }
    // Login with the dialog worked by user.
    template <class User>
    void logInWith(User user)
    {
        onDialog<LoginDialog>(desktop, user);
        LoginCommand(context);
    }
};
