#include "tests/support/SlapdServer.h"
#include "tests/support_tests/LdapUtils.h"
#include "tests/support_tests/LoopbackClient.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

std::string search(
    const SlapdServer& server, const std::string& filter, const std::string& attributes, const std::string& bind = "")
{
    return run("ldapsearch -x -LLL -H " + server.url() + bind + " -b " + SlapdServer::suffix() + " '" + filter + "' "
        + attributes)
        .output;
}

std::string asUser(const std::string& uid)
{
    return " -D uid=" + uid + ",ou=People," + SlapdServer::suffix() + " -w " + uid + "-pw";
}

SlapdOptions testDirectory()
{
    SlapdOptions options;
    options.ldifFile = SlapdServer::testDirectoryLdif();
    return options;
}

const Bytes kAnonymousBind = hex("30 0c 02 01 01 60 07 02 01 03 04 00 80 00");

TEST(SlapdServer, ServesTheTestDirectoryWithItsSchemaAndAccessRules)
{
    SlapdServer server(testDirectory());

    std::string people = search(server, "(objectClass=inetOrgPerson)", "uid");
    EXPECT_NE(people.find("uid: alice"), std::string::npos) << people;
    EXPECT_NE(people.find("uid: bob"), std::string::npos) << people;
    EXPECT_NE(people.find("uid: carol"), std::string::npos) << people;

    // The object link class and its DN-valued attribute come from data/orn.schema.
    std::string link = search(server, "(OrnAttrObjectLink=uid=bob,ou=People,dc=example,dc=com)", "dn");
    EXPECT_NE(link.find("dn: cn=Ref:bob,ou=Projects,dc=example,dc=com"), std::string::npos) << link;

    // Passwords, plain and hashed, serve binds but are not read anonymously.
    for (const char* uid : { "alice", "carol" }) {
        Outcome whoami = run("ldapwhoami -x -H " + server.url() + asUser(uid));
        EXPECT_EQ(whoami.status, 0) << whoami.output;
        EXPECT_NE(whoami.output.find(std::string("dn:uid=") + uid + ",ou=People"), std::string::npos);
    }
    EXPECT_EQ(
        run("ldapwhoami -x -H " + server.url() + " -D uid=alice,ou=People,dc=example,dc=com -w wrong").status, 49);
    EXPECT_EQ(search(server, "(uid=alice)", "userPassword").find("userPassword"), std::string::npos);
    EXPECT_NE(search(server, "(uid=alice)", "userPassword", asUser("bob")).find("userPassword"), std::string::npos);
    Outcome admin = run(
        "ldapwhoami -x -H " + server.url() + " -D " + SlapdServer::adminDn() + " -w " + SlapdServer::adminPassword());
    EXPECT_EQ(admin.status, 0) << admin.output;

    // Bound users write; anonymous ones do not.
    std::string change
        = "dn: uid=alice,ou=People,dc=example,dc=com\nchangetype: modify\nreplace: mail\nmail: a@example.org\n";
    EXPECT_NE(run("ldapmodify -x -H " + server.url(), change).status, 0);
    Outcome modify = run("ldapmodify -x -H " + server.url() + asUser("bob"), change);
    EXPECT_EQ(modify.status, 0) << modify.output;
    EXPECT_NE(search(server, "(uid=alice)", "mail").find("mail: a@example.org"), std::string::npos);

    // A container with children refuses a plain delete (notAllowedOnNonLeaf).
    Outcome remove = run("ldapdelete -x -H " + server.url() + asUser("bob") + " ou=Projects,dc=example,dc=com");
    EXPECT_EQ(remove.status, 66) << remove.output;
}

TEST(SlapdServer, RefusesLdapV2BindsUnlessAllowed)
{
    auto baseSearchV2 = [](const SlapdServer& server) {
        return run("ldapsearch -x -P 2 -LLL -s base -H " + server.url() + " -b " + SlapdServer::suffix() + " dn");
    };
    SlapdServer strict;
    EXPECT_EQ(strict.lowestBindVersion(), 3);
    Outcome refused = baseSearchV2(strict);
    EXPECT_EQ(refused.status, 2) << refused.output; // protocolError

    SlapdOptions options;
    options.allowBindV2 = true;
    options.ldifText = "dn: dc=example,dc=com\nobjectClass: dcObject\nobjectClass: organization\ndc: example\no: E\n";
    SlapdServer lenient(options);
    EXPECT_EQ(lenient.lowestBindVersion(), 2);
    Outcome allowed = baseSearchV2(lenient);
    EXPECT_EQ(allowed.status, 0) << allowed.output;
    EXPECT_NE(allowed.output.find("dn: dc=example,dc=com"), std::string::npos);
}

TEST(SlapdServer, StopAndKillCloseOpenConnectionsAndRestartKeepsTheData)
{
    SlapdServer server(testDirectory());
    for (bool abrupt : { false, true }) {
        LoopbackClient client(server.port());
        client.send(kAnonymousBind);
        ASSERT_EQ(client.read(14, 5s).bytes, hex("30 0c 02 01 01 61 07 0a 01 00 04 00 04 00"));

        if (abrupt)
            server.kill();
        else
            server.stop();
        EXPECT_FALSE(server.running());
        LoopbackClient::Read after = client.readOnce(2s);
        EXPECT_TRUE(after.closed || after.reset) << "abrupt=" << abrupt;
        EXPECT_FALSE(LoopbackClient::accepts(server.port()));

        server.restart();
        EXPECT_TRUE(server.running());
        EXPECT_NE(search(server, "(uid=carol)", "uid").find("uid: carol"), std::string::npos) << server.log();
    }
}

TEST(SlapdServer, ServersRunSideBySideAndLeaveNothingBehind)
{
    std::string firstDir;
    {
        SlapdServer first;
        SlapdServer second;
        firstDir = first.directory();
        EXPECT_NE(first.port(), second.port());
        EXPECT_NE(first.directory(), second.directory());
        EXPECT_EQ(first.url(), "ldap://127.0.0.1:" + std::to_string(first.port()));
        EXPECT_TRUE(std::filesystem::exists(firstDir + "/db"));
    }
    EXPECT_FALSE(std::filesystem::exists(firstDir));
}

TEST(SlapdServer, ReportsAnLdifItCannotLoadWithSlapaddsOwnWords)
{
    SlapdOptions options;
    options.ldifText = "dn: dc=example,dc=com\nobjectClass: dcObject\nobjectClass: organization\ndc: example\n"
                       "o: E\nnoSuchAttribute: x\n";
    try {
        SlapdServer server(options);
        FAIL() << "an unknown attribute was loaded";
    } catch (const std::runtime_error& error) {
        std::string what = error.what();
        EXPECT_NE(what.find("slapadd could not load"), std::string::npos) << what;
        EXPECT_NE(what.find("noSuchAttribute"), std::string::npos) << what;
    }
}

} // namespace
