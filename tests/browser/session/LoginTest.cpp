// Login through the Login dialog and the New Profile dialog against a real
// slapd, and against the scripted peer for what slapd will not do.
#include "browser/session/LoginBind.h"
#include "browser/session/LoginCommand.h"
#include "browser/session/LoginDialog.h"
#include "browser/session/NewProfileDialog.h"
#include "browser/session/NewProfileLogin.h"
#include "browser/session/ProfileFile.h"
#include "browser/session/ServerInfo.h"
#include "ldap/OrnCodes.h"
#include "tests/browser/session/LoginFixture.h"
#include "tests/support/BerWriter.h"
#include "tests/support/FakeLdapServer.h"
#include "tests/support/TraceCapture.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Box = FakeDesktop::Box;
using Strings = std::vector<std::string>;
using Login = LoginSuite<false>;
using LoginV2 = LoginSuite<true>;
using Fake = FakeLdapServer;
using NewField = NewProfileDialog::Field;

constexpr uint32_t kBindResponse = 0x61;
constexpr uint32_t kSearchEntry = 0x64;
constexpr uint32_t kSearchDone = 0x65;

Box errorBox(const std::string& text, const std::string& title)
{
    return {text, title, MessageIcon::Error, MessageButtons::Ok};
}

const Box kProtocolError {"Binding to Particular Server Failed due to Protocol Error.Try Connecting to the same with "
                          "Lower LDAP Version",
                          "Error", MessageIcon::Warning, MessageButtons::Ok};

Bytes done(int32_t msgid, uint32_t op, int32_t code = 0)
{
    Writer w;
    EXPECT_NE(w.codec.ber_printf(w.ber, "{it{ess}}", msgid, op, code, "", ""), -1);
    return w.bytes();
}

// One entry with one attribute value, then the end of the search.
Bytes entryAndDone(int32_t msgid, const char* dn, const char* type, const char* value)
{
    Writer w;
    EXPECT_NE(w.codec.ber_printf(w.ber, "{it{s{{s[s]}}}}", msgid, kSearchEntry, dn, type, value), -1);
    Bytes bytes = w.bytes();
    Bytes end = done(msgid, kSearchDone);
    bytes.insert(bytes.end(), end.begin(), end.end());
    return bytes;
}

bool contains(const Bytes& haystack, const Bytes& needle)
{
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

// A loopback port that refuses connections: bound, never listening.
class ClosedPort {
public:
    ClosedPort()
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0
            && ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~ClosedPort() { ::close(fd_); }
    int port() const { return port_; }

private:
    int fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int port_ = 0;
};

void fillNewProfile(NewProfileDialog& dialog, const std::string& port, const std::string& userId,
                    const std::string& password)
{
    dialog.setText(NewField::Host, "127.0.0.1");
    dialog.setText(NewField::Port, port);
    dialog.typeBaseDn(SlapdServer::suffix());
    dialog.toggleAnonymous();
    dialog.setText(NewField::UserId, userId);
    dialog.setText(NewField::Password, password);
}

} // namespace

TEST_F(Login, DialogEnablesThePasswordForAUserIdAndConnectWantsADetail)
{
    write("OrnIni.ini", profile("main", "") + profile("main", kAliceDn) + profile("other", "bob"));
    LoadProfiles(desktop, state);
    LoginDialog dialog(context);
    EXPECT_EQ(dialog.profileNames().items, Strings({"main", "other"}));
    EXPECT_EQ(dialog.version().text, "3");
    dialog.chooseProfileName(0);
    EXPECT_EQ(dialog.userDetails().items.size(), 2u);
    for (int detail : {1, 0, 1}) {
        dialog.chooseUserDetail(detail);
        EXPECT_EQ(dialog.password().enabled, detail == 1) << detail;
    }
    // Another name: its details, none chosen, so Connect asks for one.
    dialog.chooseProfileName(1);
    EXPECT_FALSE(dialog.password().enabled);
    dialog.connect();
    EXPECT_EQ(desktop.boxes, std::vector<Box>({{"Please click on a profile Name or enter a new profile", "Error",
                                                MessageIcon::None, MessageButtons::Ok}}));
    EXPECT_FALSE(dialog.ended());
    EXPECT_EQ(searchBase(), ORN_NOT_INITIALISED);
}

TEST_F(Login, AnonymousProfileEndsAsAnonymousUser)
{
    write("OrnIni.ini", profile("anon", ""));
    desktop.onDialog(LoginDialog::kResource, connectWith(0, 0, ""));
    LoginCommand(context);

    // No uid matches the empty name, and a search below a base the server
    // lacks is no refusal: the bind stands as it is.
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(state.connection.userType, "Anonymous User");
    EXPECT_EQ(desktop.titles, Strings({connectedTitle("Anonymous User")}));
    EXPECT_TRUE(state.flags.loggedIn && state.flags.treeActive);
    EXPECT_FALSE(state.flags.viewNotConnected);
    EXPECT_EQ(state.subschemaDn, "cn=Subschema");
    EXPECT_EQ(searchBase(), 0);
}

// A user ID with an empty password would be an unauthenticated bind, which
// some servers answer with success: both dialogs ask for the password and
// stay open, and nothing reaches the server.
TEST_F(Login, AUserIdWithoutAPasswordIsRefusedBeforeConnecting)
{
    const Box askForPassword = errorBox("Please enter the password for the user ID.", "Error");
    write("OrnIni.ini", profile("main", kAliceDn));
    desktop.onDialog(LoginDialog::kResource, [](DialogModel& model) {
        connectWith(0, 0, "")(model);
        EXPECT_FALSE(model.ended());
    });
    LoginCommand(context);
    desktop.onDialog(NewProfileDialog::kResource, [this](DialogModel& model) {
        auto& dialog = dynamic_cast<NewProfileDialog&>(model);
        fillNewProfile(dialog, port(), kAliceDn, "");
        dialog.login();
        EXPECT_FALSE(model.ended());
    });
    NewProfileCommand(context);

    EXPECT_EQ(desktop.boxes, std::vector<Box>({askForPassword, askForPassword}));
    EXPECT_TRUE(desktop.titles.empty());
    EXPECT_TRUE(state.flags.viewNotConnected);
    EXPECT_EQ(service.DestroyAll(), ORN_NOT_INITIALISED);
}

TEST_F(Login, FullDnIsLookedUpByItsUidAndBoundAgainAsTheDnFound)
{
    write("OrnIni.ini", profile("main", kAliceDn));
    desktop.onDialog(LoginDialog::kResource, connectWith(0, 0, "alice-pw"));
    LoginCommand(context);

    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(state.connection.userId, "alice");
    EXPECT_EQ(state.connection.bindDn, kAliceDn);
    EXPECT_EQ(state.connection.userType, "Valid User");
    EXPECT_EQ(desktop.pauses, std::vector<int>({1000}));
    // The dialog's texts, then the tree load's.
    EXPECT_EQ(desktop.statusTexts, Strings({"Initialisation in Progress", "Binding in Progress",
                                            "Initialisation in Progress", "Binding in Progress",
                                            "Velmora Ldap Browser", "Reading data from SERVER",
                                            "Velmora LDAP Browser", "Velmora Ldap Browser"}));
    EXPECT_EQ(desktop.titles, Strings({connectedTitle("Valid User")}));
    EXPECT_FALSE(state.flags.connectionLost);
    EXPECT_EQ(searchBase(), 0);
}

TEST_F(Login, PlainUidIsSearchedBelowTheBaseAndItsDnBoundSecond)
{
    // slapd refuses a bind name that is no DN, so a peer that takes it plays the server.
    Fake fake({Fake::receiveMessage(), Fake::send(done(1, kBindResponse)), Fake::receiveMessage(),
               Fake::send(entryAndDone(2, kAliceDn.c_str(), "uid", "alice"))});
    write("OrnIni.ini", "main=127.0.0.1;" + std::to_string(fake.port()) + ";dc=example,dc=com;alice;\n");
    bool stayed = false;
    desktop.onDialog(LoginDialog::kResource, [&](DialogModel& model) {
        connectWith(0, 0, "alice-pw")(model);
        stayed = !model.ended();
    });
    LoginCommand(context);

    ASSERT_TRUE(fake.waitForScriptEnd(5s));
    // SearchRequest filter: equalityMatch [3] { "uid", "alice" }.
    EXPECT_TRUE(contains(fake.receivedMessages().at(1), hex("a3 0c 04 03 75 69 64 04 05 61 6c 69 63 65")));
    EXPECT_EQ(state.connection.bindDn, kAliceDn);
    // The peer takes one connection only, so the second connect fails and the user stays.
    std::string failed = " Failed to Connect to ldap:// 127.0.0.1 :" + std::to_string(fake.port()) + ".";
    EXPECT_TRUE(stayed);
    EXPECT_EQ(desktop.boxes, std::vector<Box>({errorBox(failed, "Error")}));
    EXPECT_EQ(desktop.lastStatus(), failed);
    EXPECT_EQ(desktop.titles, Strings({kNotConnectedTitle}));
    EXPECT_TRUE(state.flags.viewNotConnected);
}

TEST_F(Login, BindRefusedForAnotherReasonEndsInTheConnectionLostLogout)
{
    write("OrnIni.ini", profile("main", "alice"));
    desktop.onDialog(LoginDialog::kResource, connectWith(0, 0, "alice-pw"));
    LoginCommand(context);

    EXPECT_EQ(desktop.boxes, std::vector<Box>({errorBox(" Invalid DN Syntax", "Server Response")}));
    EXPECT_NE(read("Generror.err").find("Invalid DN Syntax"), std::string::npos);
    EXPECT_EQ(desktop.titles, Strings({kNotConnectedTitle}));
    EXPECT_TRUE(state.flags.viewNotConnected);
    EXPECT_FALSE(state.flags.connectionLost || state.flags.loggedIn);
    EXPECT_EQ(state.connection.host, "");
    EXPECT_EQ(service.DestroyAll(), ORN_NOT_INITIALISED);
}

TEST_F(Login, WrongPasswordEndsAsAnonymousUserWithTheLoggedInFlag)
{
    write("OrnIni.ini", profile("main", kBobDn));
    desktop.onDialog(LoginDialog::kResource, connectWith(0, 0, "not-bobs"));
    LoginCommand(context);

    EXPECT_EQ(desktop.boxes, std::vector<Box>({errorBox(" Invalid Credentials  ", "Server Response")}));
    EXPECT_EQ(read("Generror.err"), "12/05/26$16:01:02$ServerIp 127.0.0.1  Invalid Credentials  \n");
    EXPECT_EQ(state.connection.userType, "Anonymous User");
    EXPECT_TRUE(state.flags.loggedIn && state.flags.treeActive);
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Anonymous User"));
    // Still connected, as nobody: the failed bind left the connection anonymous.
    EXPECT_EQ(searchBase(), 0);
}

TEST_F(Login, Version2RefusedKeepsTheDialogOpenUntilAnotherIsChosen)
{
    write("OrnIni.ini", profile("main", kAliceDn));
    desktop.onDialog(LoginDialog::kResource, [](DialogModel& model) {
        auto& dialog = dynamic_cast<LoginDialog&>(model);
        connectWith(0, 0, "alice-pw", 0)(model);
        ASSERT_FALSE(dialog.ended());
        EXPECT_FALSE(dialog.statusLine().visible);
        dialog.chooseVersion(1);
        dialog.connect();
    });
    LoginCommand(context);

    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0], errorBox("Protocol Error", "Server Response"));
    EXPECT_EQ(desktop.boxes[1], kProtocolError);
    EXPECT_NE(std::find(desktop.statusTexts.begin(), desktop.statusTexts.end(), "Failed to Bind"),
              desktop.statusTexts.end());
    EXPECT_EQ(state.connection.userType, "Valid User");
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Valid User"));
    EXPECT_EQ(service.OrnGetLdapVersion(), 3);
}

TEST_F(LoginV2, Version2LogsInWhereTheServerAllowsIt)
{
    write("OrnIni.ini", profile("main", kAliceDn));
    desktop.onDialog(LoginDialog::kResource, connectWith(0, 0, "alice-pw", 0));
    LoginCommand(context);

    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(service.OrnGetLdapVersion(), 2);
    EXPECT_EQ(state.connection.bindDn, kAliceDn);
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Valid User"));
}

TEST_F(Login, UnreachableServerKeepsTheDialogOpen)
{
    ClosedPort closed;
    ASSERT_NE(closed.port(), 0);
    write("OrnIni.ini", "main=127.0.0.1;" + std::to_string(closed.port()) + ";dc=example,dc=com;;\n");
    bool stayed = false;
    bool lineShown = true;
    // The view must hear of the progress line before the connect blocks.
    Strings announced;
    desktop.onDialog(LoginDialog::kResource, [&](DialogModel& model) {
        auto& dialog = dynamic_cast<LoginDialog&>(model);
        model.onChanged([&] {
            if (dialog.statusLine().visible)
                announced.push_back(dialog.statusLine().text);
        });
        connectWith(0, 0, "")(model);
        stayed = !model.ended();
        lineShown = dynamic_cast<LoginDialog&>(model).statusLine().visible;
    });
    LoginCommand(context);

    std::string failed = " Failed to Connect to ldap:// 127.0.0.1 :" + std::to_string(closed.port()) + ".";
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(lineShown);
    EXPECT_EQ(announced, Strings({"Login in Progress.......Please Wait"}));
    EXPECT_EQ(desktop.boxes, std::vector<Box>({errorBox(failed, "Error")}));
    EXPECT_EQ(desktop.statusTexts, Strings({"Initialisation in Progress", failed}));
    EXPECT_TRUE(desktop.titles.empty());
    EXPECT_TRUE(state.flags.viewNotConnected);
}

TEST_F(Login, NewProfileOpensWhenThereIsNoProfileAndLogsIn)
{
    desktop.onDialog(NewProfileDialog::kResource, [this](DialogModel& model) {
        auto& dialog = dynamic_cast<NewProfileDialog&>(model);
        dialog.login();
        EXPECT_EQ(desktop.boxes.back(), Box({"One or more fields are empty .Please fill in all the fields.",
                                             kAppTitle, MessageIcon::None, MessageButtons::Ok}));
        // The refusal's text is its own title here.
        fillNewProfile(dialog, port(), kBobDn, "wrong");
        dialog.chooseVersion(1);
        dialog.login();
        EXPECT_EQ(dialog.statusLine().text, "Login in Progress.......Please Wait");
    });
    LoginCommand(context);

    ASSERT_EQ(desktop.dialogsRun, Strings({NewProfileDialog::kResource}));
    ASSERT_EQ(desktop.boxes.size(), 3u);
    EXPECT_EQ(desktop.boxes[0].text, "User profile does not exist.Please create a profile");
    EXPECT_EQ(desktop.boxes[2], errorBox(" Invalid Credentials  ", " Invalid Credentials  "));
    EXPECT_EQ(state.connection.userType, "Anonymous User");
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Anonymous User"));

    desktop.boxes.clear();
    desktop.onDialog(NewProfileDialog::kResource, [this](DialogModel& model) {
        auto& dialog = dynamic_cast<NewProfileDialog&>(model);
        fillNewProfile(dialog, port(), kAliceDn, "alice-pw");
        dialog.login();
    });
    NewProfileCommand(context);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(state.connection.bindDn, kAliceDn);
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Valid User"));
    EXPECT_EQ(searchBase(), 0);
}

TEST_F(Login, FetchDnsListsTheNamingContextsAndDisconnects)
{
    NewProfileDialog dialog(desktop, state);
    WireNewProfileDialog(context, dialog);
    dialog.setText(NewField::Host, "127.0.0.1");
    dialog.setText(NewField::Port, port());
    dialog.fetchDns();

    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(dialog.baseDn().items, Strings({"dc=example,dc=com"}));
    EXPECT_EQ(dialog.baseDn().selected, 0);
    EXPECT_EQ(dialog.baseDn().text, "dc=example,dc=com");
    EXPECT_EQ(service.DestroyAll(), ORN_NOT_INITIALISED);
    EXPECT_TRUE(state.flags.viewNotConnected);
    EXPECT_FALSE(state.flags.loggedIn);
}

TEST_F(Login, FetchDnsWithoutNamingContextsSaysSo)
{
    Fake fake({Fake::receiveMessage(), Fake::send(done(1, kBindResponse)), Fake::receiveMessage(),
               Fake::send(entryAndDone(2, "", "objectClass", "top"))});
    NewProfileDialog dialog(desktop, state);
    WireNewProfileDialog(context, dialog);
    dialog.setBaseDnItems({"o=stale"});
    dialog.setText(NewField::Host, "127.0.0.1");
    dialog.setText(NewField::Port, std::to_string(fake.port()));
    dialog.fetchDns();

    EXPECT_EQ(desktop.boxes, std::vector<Box>({errorBox("Cannot Access Server Root DSE", "Error")}));
    EXPECT_TRUE(dialog.baseDn().items.empty());
    EXPECT_TRUE(fake.waitForClientClose(5s));
}

TEST_F(Login, ServerInfoTakesTheBaseDnAsTheServerSpellsIt)
{
    // Case alone is no difference; a blank after a comma is.
    for (auto [typed, kept] : {std::pair<std::string, std::string>{"DC=EXAMPLE,DC=COM", "DC=EXAMPLE,DC=COM"},
                               {"dc=Example, dc=com", "dc=example,dc=com"}}) {
        state.connection.host = "127.0.0.1";
        state.connection.port = server().port();
        state.connection.baseDn = typed;
        ASSERT_TRUE(ConnectToServer(context, 3));
        ReadServerInfo(context);
        EXPECT_EQ(state.connection.baseDn, kept);
        EXPECT_EQ(state.subschemaDn, "cn=Subschema");
    }

    // slapd never answers with ", " in a DN; the peer does.
    Fake fake({Fake::receiveMessage(), Fake::send(entryAndDone(1, "", "subschemaSubentry", "cn=Schema")),
               Fake::receiveMessage(), Fake::send(entryAndDone(2, "o=a, c=b, l=x y", "o", "a"))});
    state.connection.port = fake.port();
    state.connection.baseDn = "O=A,C=B,L=X Y";
    ASSERT_TRUE(ConnectToServer(context, 3));
    ReadServerInfo(context);
    EXPECT_EQ(state.connection.baseDn, "o=a,c=b,l=x y");
    EXPECT_EQ(state.subschemaDn, "cn=Schema");
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(Login, PasswordReachesNoFileAndNoTraceLine)
{
    // A refused password is logged as a report; an accepted one is used twice.
    std::string traced = traceOf([this] {
        desktop.onDialog(NewProfileDialog::kResource, [this](DialogModel& model) {
            auto& dialog = dynamic_cast<NewProfileDialog&>(model);
            fillNewProfile(dialog, port(), kBobDn, "typed-secret-1");
            dialog.setText(NewField::ProfileName, "main");
            dialog.saveProfile();
            dialog.login();
        });
        LoginCommand(context);
        desktop.onDialog(LoginDialog::kResource, connectWith(0, 1, "alice-pw"));
        write("OrnIni.ini", read("OrnIni.ini") + profile("main", kAliceDn));
        LoginCommand(context);
        service.DestroyAll();
    });

    EXPECT_EQ(state.connection.userType, "Valid User");
    EXPECT_NE(traced.find("OrnBindSync"), std::string::npos);
    const std::pair<const char*, std::string> written[] = {
        {"trace", traced}, {"OrnIni.ini", read("OrnIni.ini")}, {"Generror.err", read("Generror.err")}};
    for (const auto& [name, text] : written) {
        EXPECT_FALSE(text.empty()) << name;
        EXPECT_EQ(text.find("typed-secret-1"), std::string::npos) << name;
        EXPECT_EQ(text.find("alice-pw"), std::string::npos) << name;
    }
}
