// The Root DSE dialog against slapd: user and operational attributes, one
// row per value in the server's order.
#include "browser/session/RootDseDialog.h"
#include "tests/browser/properties/AttributeEditingFixture.h"

using Row = RootDseDialog::Row;

using RootDseDialogTest = EditSuite;

TEST_F(RootDseDialogTest, EveryValueInTheServersOrder)
{
    browse();
    std::vector<Row> rows;
    onDialog<RootDseDialog>(desktop, [&rows](RootDseDialog& dialog) {
        rows = dialog.rows();
        dialog.close();
    });
    RootDseProperties(context);
    for (const Row& operational : { Row { "namingContexts", SlapdServer::suffix() },
             Row { "subschemaSubentry", "cn=Subschema" }, Row { "supportedLDAPVersion", "3" } })
        EXPECT_NE(std::find(rows.begin(), rows.end(), operational), rows.end()) << operational.name;

    // The server's own order of a multi-valued attribute, read without the dialog.
    std::string every = "+";
    char* attributes[] = { every.data(), nullptr };
    HeldResult result;
    ASSERT_EQ(service.OrnSearchSync("", "objectclass=*", attributes, 0, 0, result.place()), 0);
    std::vector<Row> controls;
    for (const std::string& control : AttributeValues(result.get(), "supportedControl"))
        controls.push_back({ "supportedControl", control });
    ASSERT_GT(controls.size(), 1u);
    auto first = std::find(rows.begin(), rows.end(), controls.front());
    ASSERT_GE(rows.end() - first, static_cast<long>(controls.size()));
    EXPECT_EQ(std::vector<Row>(first, first + static_cast<long>(controls.size())), controls);
    EXPECT_TRUE(desktop.boxes.empty());
}
