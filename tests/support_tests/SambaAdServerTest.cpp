#include "tests/support/SambaAdServer.h"
#include "tests/support_tests/LdapUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

std::string as(const std::string& name)
{
    return " -D '" + name + "' -w '" + SambaAdServer::adminPassword() + "'";
}

TEST(SambaAdServer, AnswersAsADomainControllerAndTakesTheSuitesData)
{
    std::unique_ptr<SambaAdServer> server;
    try {
        SambaAdOptions options;
        options.ldifText = "dn: OU=Staff,DC=example,DC=test\nobjectClass: organizationalUnit\nou: Staff\n";
        server = std::make_unique<SambaAdServer>(options);
    } catch (const server_process::ServerUnavailable& unavailable) {
        GTEST_SKIP() << unavailable.what();
    }
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

    server.reset();
    EXPECT_FALSE(std::filesystem::exists(directory));
}

} // namespace
