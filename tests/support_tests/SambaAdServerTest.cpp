#include "tests/support/SambaAdServer.h"
#include "tests/support/SuiteServer.h"
#include "tests/support_tests/LdapUtils.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string as(const std::string& name)
{
    return " -D '" + name + "' -w '" + SambaAdServer::adminPassword() + "'";
}

TEST(SambaAdServer, AnswersAsADomainControllerAndTakesTheSuitesData)
{
    SuiteServer<SambaAdServer, SambaAdOptions> server;
    server.start({ "dn: OU=Staff,DC=example,DC=test\nobjectClass: organizationalUnit\nou: Staff\n" });
    ORN_REQUIRE_SERVER(server);
    const std::string directory = server->directory();

    const std::string dse = search(server->url(), "", "(objectClass=*)", "subschemaSubentry namingContexts -s base");
    EXPECT_NE(dse.find("subschemaSubentry: CN=Aggregate,CN=Schema,CN=Configuration,DC=example,DC=test"),
        std::string::npos)
        << dse;
    // The Administrator binds by DN, principal name and down-level name; the
    // bare account name is refused.
    for (const char* name :
        { SambaAdServer::adminDn(), SambaAdServer::adminPrincipal(), SambaAdServer::adminDownLevel() }) {
        const std::string found = search(server->url(), SambaAdServer::suffix(), "(ou=Staff)", "dn", as(name));
        EXPECT_NE(found.find("dn: OU=Staff,DC=example,DC=test"), std::string::npos) << name << ": " << found;
    }
    EXPECT_EQ(run("ldapsearch -x -H " + server->url() + as("Administrator") + " -s base -b '' dn").status, 49);

    server.stop();
    EXPECT_FALSE(std::filesystem::exists(directory));
}

} // namespace
