// Login through the Login dialog and the New Profile dialog against a real
// slapd, and against the scripted peer for what slapd will not do.
#include "browser/session/LoginBind.h"
#include "browser/session/NewProfileDialog.h"
#include "browser/session/NewProfileLogin.h"
#include "browser/session/ProfileFile.h"
#include "browser/session/ServerInfo.h"
#include "tests/browser/session/LoginFixture.h"
#include "tests/support/BerWriter.h"
#include "tests/support/FakeLdapServer.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/UnansweredPort.h"

#include <chrono>

namespace {

using namespace std::chrono_literals;
using Login = LoginSuite;
using Fake = FakeLdapServer;
using NewField = NewProfileDialog::Field;

constexpr uint32_t kBindResponse = 0x61;
constexpr uint32_t kSearchEntry = 0x64;
constexpr uint32_t kSearchDone = 0x65;

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

// A peer that takes the bind, then answers the search with one entry.
Fake::Script bindThenEntry(const char* dn, const char* type, const char* value)
{
    return { Fake::receiveMessage(), Fake::send(done(1, kBindResponse)), Fake::receiveMessage(),
        Fake::send(entryAndDone(2, dn, type, value)) };
}

// The peer takes one connection only: the second connect is refused.
std::string refusedConnect(int port)
{
    return " Failed to Connect to ldap:// 127.0.0.1 :" + std::to_string(port) + ". The connection was refused.";
}

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
    EXPECT_EQ(dialog.profileNames().items, Strings({ "main", "other" }));
    EXPECT_EQ(dialog.version().text, "3");
    dialog.chooseProfileName(0);
    EXPECT_EQ(dialog.userDetails().items.size(), 2u);
    for (int detail : { 1, 0, 1 }) {
        dialog.chooseUserDetail(detail);
        EXPECT_EQ(dialog.password().enabled, detail == 1) << detail;
    }
    // Another name: its details, none chosen, so Connect asks for one.
    dialog.chooseProfileName(1);
    EXPECT_FALSE(dialog.password().enabled);
    dialog.connect();
    EXPECT_EQ(desktop.boxes, Boxes({ plainBox("Please click on a profile Name or enter a new profile", "Error") }));
    EXPECT_FALSE(dialog.ended());
    EXPECT_EQ(searchBase(), ORN_NOT_INITIALISED);
}

struct LoginCase {
    const char* name;
    std::string userId; // of the profile
    std::string password;
    Boxes boxes;
    std::string userType, connectedId, bindDn; // connectedId: the user ID the session keeps
    Strings statusTexts; // the dialog's, before the tree load's
    std::vector<int> pauses;
    std::string log; // Generror.err afterwards
};
void PrintTo(const LoginCase& row, std::ostream* out) { *out << row.name; }

class LoginEnd : public LoginSuite, public ::testing::WithParamInterface<LoginCase> { };

// Every login that ends connected shows the tree and the user type in the title.
TEST_P(LoginEnd, Connected)
{
    const LoginCase& c = GetParam();
    write("OrnIni.ini", profile("main", c.userId));
    logInWith(connectWith(0, 0, c.password));

    EXPECT_EQ(desktop.boxes, c.boxes);
    EXPECT_EQ(state.connection.userType, c.userType);
    EXPECT_EQ(state.connection.userId, c.connectedId);
    EXPECT_EQ(state.connection.bindDn, c.bindDn);
    Strings texts = c.statusTexts;
    texts.insert(texts.end(), { "Reading data from SERVER", "Velmora LDAP Browser", "Velmora Ldap Browser" });
    EXPECT_EQ(desktop.statusTexts, texts);
    EXPECT_EQ(desktop.pauses, c.pauses);
    EXPECT_EQ(desktop.titles, Strings({ connectedTitle(c.userType) }));
    EXPECT_EQ(read("Generror.err"), c.log);
    EXPECT_TRUE(state.flags.loggedIn && state.flags.treeActive);
    EXPECT_FALSE(state.flags.viewNotConnected || state.flags.connectionLost);
    EXPECT_EQ(state.subschemaDn, "cn=Subschema");
    EXPECT_EQ(searchBase(), 0);
}

// A user ID with an empty password would be an unauthenticated bind, which
// some servers answer with success: both dialogs ask for the password and
// stay open, and nothing reaches the server.
TEST_F(Login, AUserIdWithoutAPasswordIsRefusedBeforeConnecting)
{
    const Box askForPassword = errorBox("Please enter the password for the user ID.");
    write("OrnIni.ini", profile("main", kAliceDn));
    logInWith([](LoginDialog& dialog) {
        connectWith(0, 0, "")(dialog);
        EXPECT_FALSE(dialog.ended());
    });
    onDialog<NewProfileDialog>(desktop, [this](NewProfileDialog& dialog) {
        fillNewProfile(dialog, port(), kAliceDn, "");
        dialog.login();
        EXPECT_FALSE(dialog.ended());
    });
    NewProfileCommand(context);

    EXPECT_EQ(desktop.boxes, std::vector<Box>({askForPassword, askForPassword}));
    EXPECT_TRUE(desktop.titles.empty());
    EXPECT_TRUE(state.flags.viewNotConnected);
    EXPECT_EQ(service.DestroyAll(), ORN_NOT_INITIALISED);
}

const std::string kInit = "Initialisation in Progress", kBinding = "Binding in Progress", kBound = "Velmora Ldap Browser";

INSTANTIATE_TEST_SUITE_P(Login, LoginEnd,
    ::testing::Values(
        // No uid matches the empty name, and a search below a base the server
        // lacks is no refusal: the bind stands as it is.
        LoginCase { "Anonymous", "", "", {}, "Anonymous User", "", "", { kInit, kBinding, kBound }, {}, "<missing>" },
        // A full DN is looked up by its uid and bound again as the DN found.
        LoginCase { "FullDn", kAliceDn, "alice-pw", {}, "Valid User", "alice", kAliceDn,
            { kInit, kBinding, kInit, kBinding, kBound }, { 1000 }, "<missing>" },
        // The failed bind leaves the connection anonymous, still logged in.
        LoginCase { "WrongPassword", kBobDn, "not-bobs", { errorBox(" Invalid Credentials  ", "Server Response") },
            "Anonymous User", kBobDn, "", { kInit, kBinding }, {},
            "12/05/26$16:01:02$ServerIp 127.0.0.1  Invalid Credentials  \n" }),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Login, PlainUidIsSearchedBelowTheBaseAndItsDnBoundSecond)
{
    // slapd refuses a bind name that is no DN, so a peer that takes it plays the server.
    Fake fake(bindThenEntry(kAliceDn.c_str(), "uid", "alice"));
    write("OrnIni.ini", profile("main", "alice", std::to_string(fake.port())));
    bool stayed = false;
    logInWith([&](LoginDialog& dialog) {
        connectWith(0, 0, "alice-pw")(dialog);
        stayed = !dialog.ended();
    });

    ASSERT_TRUE(fake.waitForScriptEnd(5s));
    // SearchRequest filter: equalityMatch [3] { "uid", "alice" }.
    const Bytes filter = hex("a3 0c 04 03 75 69 64 04 05 61 6c 69 63 65");
    const Bytes search = fake.receivedMessages().at(1);
    EXPECT_NE(std::search(search.begin(), search.end(), filter.begin(), filter.end()), search.end());
    EXPECT_EQ(state.connection.bindDn, kAliceDn);
    // The peer takes one connection only, so the second connect fails and the user stays.
    EXPECT_TRUE(stayed);
    EXPECT_EQ(desktop.boxes, Boxes({ errorBox(refusedConnect(fake.port())) }));
    EXPECT_EQ(desktop.lastStatus(), refusedConnect(fake.port()));
    EXPECT_EQ(desktop.titles, Strings({ kNotConnectedTitle }));
    EXPECT_TRUE(state.flags.viewNotConnected);
}

// Active Directory's logon names are bound as typed: no uid search follows.
TEST_F(Login, ALogonNameIsBoundAsTypedWithoutAUidSearch)
{
    for (const char* name : { "alice@EXAMPLE.TEST", "EXAMPLE\\alice" }) {
        SCOPED_TRACE(name);
        desktop = FakeDesktop {};
        Fake fake({ Fake::receiveMessage(), Fake::send(done(1, kBindResponse)), Fake::receiveMessage(), Fake::close() });
        write("OrnIni.ini", profile("main", name, std::to_string(fake.port())));
        logInWith(connectWith(0, 0, "alice-pw"));

        ASSERT_TRUE(fake.waitForScriptEnd(5s));
        const Bytes uid = hex("04 03 75 69 64");
        const Bytes next = fake.receivedMessages().at(1);
        EXPECT_EQ(std::search(next.begin(), next.end(), uid.begin(), uid.end()), next.end());
        service.DestroyAll();
    }
}

TEST_F(Login, BindRefusedForAnotherReasonEndsInTheConnectionLostLogout)
{
    write("OrnIni.ini", profile("main", "alice"));
    logInWith(connectWith(0, 0, "alice-pw"));

    EXPECT_EQ(desktop.boxes, Boxes({ errorBox(" Invalid DN Syntax", "Server Response") }));
    EXPECT_NE(read("Generror.err").find("Invalid DN Syntax"), std::string::npos);
    EXPECT_EQ(desktop.titles, Strings({ kNotConnectedTitle }));
    expectLoggedOut();
}

TEST_F(Login, Version2IsRefusedUntilAnotherIsChosenOrLogsInWhereAllowed)
{
    write("OrnIni.ini", profile("main", kAliceDn));
    logInWith([](LoginDialog& dialog) {
        connectWith(0, 0, "alice-pw", 0)(dialog);
        ASSERT_FALSE(dialog.ended());
        EXPECT_FALSE(dialog.statusLine().visible);
        dialog.chooseVersion(1);
        dialog.connect();
    });
    EXPECT_EQ(desktop.boxes,
        Boxes({ errorBox("Protocol Error", "Server Response"),
            { "Binding to Particular Server Failed due to Protocol Error.Try Connecting to the same with "
              "Lower LDAP Version",
                "Error", MessageIcon::Warning, MessageButtons::Ok } }));
    EXPECT_NE(std::find(desktop.statusTexts.begin(), desktop.statusTexts.end(), "Failed to Bind"),
        desktop.statusTexts.end());
    EXPECT_EQ(state.connection.userType, "Valid User");
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Valid User"));
    EXPECT_EQ(service.OrnGetLdapVersion(), 3);

    service.DestroyAll();
    desktop.boxes.clear();
    SlapdServer v2(directory(true));
    const std::string at = std::to_string(v2.port());
    write("OrnIni.ini", profile("main", kAliceDn, at));
    logInWith(connectWith(0, 0, "alice-pw", 0));
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(service.OrnGetLdapVersion(), 2);
    EXPECT_EQ(state.connection.bindDn, kAliceDn);
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Valid User", at));
    service.DestroyAll();
}

// Each way a connect fails says which it was, after the failure text, and
// keeps the dialog open.
TEST_F(Login, UnreachableServerKeepsTheDialogOpen)
{
    server().stop(); // its port stays bound, refusing connections
    UnansweredPort silent;
    ASSERT_NE(silent.port(), 0);
    const struct {
        std::string host;
        int port;
        const char* reason;
    } cases[] = {
        { "127.0.0.1", server().port(), " The connection was refused." },
        { "no-such-host.invalid", 389, " The host name does not resolve." },
        { "127.0.0.1", silent.port(), " The host did not answer within the connect time limit." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        desktop = FakeDesktop {};
        write("OrnIni.ini", "main=" + c.host + ";" + std::to_string(c.port) + ";dc=example,dc=com;;\n");
        bool stayed = false;
        bool lineShown = true;
        // The view must hear of the progress line before the connect blocks.
        Strings announced;
        logInWith([&](LoginDialog& dialog) {
            dialog.onChanged([&] {
                if (dialog.statusLine().visible)
                    announced.push_back(dialog.statusLine().text);
            });
            dialog.setConnectTimeLimit("1");
            connectWith(0, 0, "")(dialog);
            stayed = !dialog.ended();
            lineShown = dialog.statusLine().visible;
        });

        const std::string failed
            = " Failed to Connect to ldap:// " + c.host + " :" + std::to_string(c.port) + "." + c.reason;
        EXPECT_TRUE(stayed);
        EXPECT_FALSE(lineShown);
        EXPECT_EQ(announced, Strings({ "Login in Progress.......Please Wait" }));
        EXPECT_EQ(desktop.boxes, Boxes({ errorBox(failed) }));
        EXPECT_EQ(desktop.statusTexts, Strings({ "Initialisation in Progress", failed }));
        EXPECT_TRUE(desktop.titles.empty());
        EXPECT_TRUE(state.flags.viewNotConnected);
    }
}

// The limit is whole seconds, 1 to 3600; anything else is refused before a
// connect, and the dialog offers the last limit taken.
TEST_F(Login, AConnectTimeLimitOutsideWholeSecondsIsRefused)
{
    write("OrnIni.ini", profile("main", ""));
    for (const char* text : { "", "0", "3601", "2.5", "-1", "1x", " 5", "99999999999" }) {
        SCOPED_TRACE(text);
        desktop = FakeDesktop {};
        std::string offered;
        bool stayed = false;
        logInWith([&](LoginDialog& dialog) {
            offered = dialog.connectTimeLimit().text;
            dialog.setConnectTimeLimit(text);
            connectWith(0, 0, "")(dialog);
            stayed = !dialog.ended();
        });
        EXPECT_EQ(offered, "30");
        EXPECT_TRUE(stayed);
        EXPECT_EQ(desktop.boxes,
            Boxes({ errorBox("The connect time limit must be a whole number of seconds from 1 to 3600.") }));
        EXPECT_TRUE(desktop.statusTexts.empty());
    }
    logInWith([&](LoginDialog& dialog) {
        dialog.setConnectTimeLimit("3600");
        connectWith(0, 0, "")(dialog);
    });
    EXPECT_TRUE(state.flags.loggedIn);
    EXPECT_EQ(state.connectTimeLimitSeconds, 3600);
    LoginDialog dialog(context);
    EXPECT_EQ(dialog.connectTimeLimit().text, "3600");
}

// Cancel during a bind the hung server never answers keeps the dialog open,
// and Connect works again once the server does.
TEST_F(Login, ALoginCancelledWhileTheServerHangsKeepsTheDialogOpen)
{
    write("OrnIni.ini", profile("main", ""));
    server().freeze();
    desktop.cancelWaitAt(2);
    bool stayed = false;
    bool lineShown = true;
    Strings statusAfterCancel;
    logInWith([&](LoginDialog& dialog) {
        connectWith(0, 0, "")(dialog);
        stayed = !dialog.ended();
        lineShown = dialog.statusLine().visible;
        statusAfterCancel = desktop.statusTexts;
        server().thaw();
        connectWith(0, 0, "")(dialog);
    });

    EXPECT_TRUE(stayed);
    EXPECT_FALSE(lineShown);
    EXPECT_EQ(statusAfterCancel, Strings({ "Initialisation in Progress", "Binding in Progress", kLoginCancelled }));
    ASSERT_FALSE(desktop.waitsFor.empty());
    EXPECT_EQ(desktop.waitsFor.front(), "Logging in to 127.0.0.1");
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_TRUE(state.flags.loggedIn);
    EXPECT_EQ(searchBase(), 0);
}

TEST_F(Login, NewProfileOpensWhenThereIsNoProfileAndLogsIn)
{
    onDialog<NewProfileDialog>(desktop, [this](NewProfileDialog& dialog) {
        dialog.login();
        EXPECT_EQ(desktop.boxes.back(), plainBox("One or more fields are empty .Please fill in all the fields."));
        // The refusal's text is its own title here.
        fillNewProfile(dialog, port(), kBobDn, "wrong");
        dialog.chooseVersion(1);
        dialog.login();
        EXPECT_EQ(dialog.statusLine().text, "Login in Progress.......Please Wait");
    });
    LoginCommand(context);

    ASSERT_EQ(desktop.dialogsRun, Strings({ NewProfileDialog::kResource }));
    ASSERT_EQ(desktop.boxes.size(), 3u);
    EXPECT_EQ(desktop.boxes[0].text, "User profile does not exist.Please create a profile");
    EXPECT_EQ(desktop.boxes[2], errorBox(" Invalid Credentials  ", " Invalid Credentials  "));
    EXPECT_EQ(state.connection.userType, "Anonymous User");
    EXPECT_EQ(desktop.lastTitle(), connectedTitle("Anonymous User"));

    desktop.boxes.clear();
    onDialog<NewProfileDialog>(desktop, [](NewProfileDialog& dialog) {
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
    // A peer whose root DSE has no naming context.
    Fake fake(bindThenEntry("", "objectClass", "top"));
    const struct {
        std::string port;
        Boxes boxes;
        Strings items;
        int selected;
        std::string text;
    } cases[] = {
        { port(), {}, { "dc=example,dc=com" }, 0, "dc=example,dc=com" },
        { std::to_string(fake.port()), { errorBox("Cannot Access Server Root DSE") }, {}, -1, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        desktop.boxes.clear();
        NewProfileDialog dialog(desktop, state);
        WireNewProfileDialog(context, dialog);
        dialog.setBaseDnItems({ "o=stale" });
        dialog.setText(NewField::Host, "127.0.0.1");
        dialog.setText(NewField::Port, c.port);
        dialog.fetchDns();
        EXPECT_EQ(desktop.boxes, c.boxes);
        EXPECT_EQ(dialog.baseDn().items, c.items);
        EXPECT_EQ(dialog.baseDn().selected, c.selected);
        EXPECT_EQ(dialog.baseDn().text, c.text);
        EXPECT_EQ(service.DestroyAll(), ORN_NOT_INITIALISED);
        EXPECT_TRUE(state.flags.viewNotConnected);
        EXPECT_FALSE(state.flags.loggedIn);
    }
    EXPECT_TRUE(fake.waitForClientClose(5s));
}

TEST_F(Login, ServerInfoTakesTheBaseDnAsTheServerSpellsIt)
{
    // slapd never answers with ", " in a DN; the peer does.
    Fake fake({ Fake::receiveMessage(), Fake::send(entryAndDone(1, "", "subschemaSubentry", "cn=Schema")),
        Fake::receiveMessage(), Fake::send(entryAndDone(2, "", "supportedControl", "1.2.3")),
        Fake::receiveMessage(), Fake::send(entryAndDone(3, "o=a, c=b, l=x y", "o", "a")) });
    // Case alone is no difference; a blank after a comma is.
    const struct {
        int port;
        std::string typed, kept, subschema;
    } cases[] = {
        { server().port(), "DC=EXAMPLE,DC=COM", "DC=EXAMPLE,DC=COM", "cn=Subschema" },
        { server().port(), "dc=Example, dc=com", "dc=example,dc=com", "cn=Subschema" },
        { fake.port(), "O=A,C=B,L=X Y", "o=a,c=b,l=x y", "cn=Schema" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        state.connection.host = "127.0.0.1";
        state.connection.port = c.port;
        state.connection.baseDn = c.typed;
        ASSERT_TRUE(ConnectToServer(context, 3));
        ReadServerInfo(context);
        EXPECT_EQ(state.connection.baseDn, c.kept);
        EXPECT_EQ(state.subschemaDn, c.subschema);
    }
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(Login, PasswordReachesNoFileAndNoTraceLine)
{
    // A refused password is logged as a report; an accepted one is used twice.
    std::string traced = traceOf([this] {
        onDialog<NewProfileDialog>(desktop, [](NewProfileDialog& dialog) {
            fillNewProfile(dialog, port(), kBobDn, "typed-secret-1");
            dialog.setText(NewField::ProfileName, "main");
            dialog.saveProfile();
            dialog.login();
        });
        LoginCommand(context);
        write("OrnIni.ini", read("OrnIni.ini") + profile("main", kAliceDn));
        logInWith(connectWith(0, 1, "alice-pw"));
        service.DestroyAll();
    });

    EXPECT_EQ(state.connection.userType, "Valid User");
    EXPECT_NE(traced.find("OrnBindSync"), std::string::npos);
    const std::pair<const char*, std::string> written[]
        = { { "trace", traced }, { "OrnIni.ini", read("OrnIni.ini") }, { "Generror.err", read("Generror.err") } };
    for (const auto& [name, text] : written) {
        EXPECT_FALSE(text.empty()) << name;
        EXPECT_EQ(text.find("typed-secret-1"), std::string::npos) << name;
        EXPECT_EQ(text.find("alice-pw"), std::string::npos) << name;
    }
}
