#include "tests/support/Ds389Server.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/SuiteServer.h"
#include "tests/support_tests/LdapUtils.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string asUser(const std::string& uid)
{
    return " -D uid=" + uid + ",ou=People," + Ds389Server::suffix() + " -w " + uid + "-pw";
}

TEST(Ds389Server, ServesTheTestDirectoryWithItsSchemaAndAccessRules)
{
    std::string directory;
    {
        Ds389Options options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        SuiteServer<Ds389Server, Ds389Options> started;
        started.start(options);
        ORN_REQUIRE_SERVER(started);
        const Ds389Server& server = *started;
        directory = server.directory();

        const std::string dse = search(server.url(), "", "(objectClass=*)", "namingContexts subschemaSubentry -s base");
        EXPECT_NE(dse.find("namingContexts: dc=example,dc=com"), std::string::npos) << dse;
        EXPECT_NE(dse.find("subschemaSubentry: cn=schema"), std::string::npos) << dse;

        const std::string people = search(server.url(), Ds389Server::suffix(), "(objectClass=inetOrgPerson)", "uid");
        for (const char* uid : { "alice", "bob", "carol" })
            EXPECT_NE(people.find(std::string("uid: ") + uid), std::string::npos) << people;
        // The object link class comes from data/orn.schema.
        const std::string link
            = search(server.url(), Ds389Server::suffix(), "(OrnAttrObjectLink=uid=bob,ou=People,dc=example,dc=com)", "dn");
        EXPECT_NE(link.find("dn: cn=Ref:bob,ou=Projects,dc=example,dc=com"), std::string::npos) << link;

        // Passwords, plain and hashed, serve binds but are not read anonymously.
        for (const char* uid : { "alice", "carol" })
            EXPECT_EQ(run("ldapwhoami -x -H " + server.url() + asUser(uid)).status, 0) << uid;
        EXPECT_EQ(run("ldapwhoami -x -H " + server.url() + " -D uid=alice,ou=People,dc=example,dc=com -w no").status,
            49);
        EXPECT_EQ(search(server.url(), Ds389Server::suffix(), "(uid=alice)", "userPassword").find("userPassword"),
            std::string::npos);
        Outcome admin = run("ldapwhoami -x -H " + server.url() + " -D '" + Ds389Server::adminDn() + "' -w "
            + Ds389Server::adminPassword());
        EXPECT_EQ(admin.status, 0) << admin.output;

        // Bound users write; anonymous ones do not.
        const std::string change
            = "dn: uid=alice,ou=People,dc=example,dc=com\nchangetype: modify\nreplace: mail\nmail: a@example.org\n";
        EXPECT_NE(run("ldapmodify -x -H " + server.url(), change).status, 0);
        Outcome modify = run("ldapmodify -x -H " + server.url() + asUser("bob"), change);
        EXPECT_EQ(modify.status, 0) << modify.output;
        EXPECT_NE(search(server.url(), Ds389Server::suffix(), "(uid=alice)", "mail").find("mail: a@example.org"),
            std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(directory));
}

// An entry the schema refuses would silently be missing from the suite's data.
TEST(Ds389Server, RefusesToStartWithoutEveryEntryOfItsData)
{
    Ds389Options options;
    options.ldifText = "dn: cn=x,dc=example,dc=com\nobjectClass: noSuchClass\ncn: x\n";
    try {
        Ds389Server server(options);
        ADD_FAILURE() << "started on " << server.url();
    } catch (const server_process::ServerUnavailable& unavailable) {
        GTEST_SKIP() << unavailable.what();
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("cn=x,dc=example,dc=com"), std::string::npos) << error.what();
    }
}

} // namespace
