// A template form's post against slapd: encoded as a browser encodes it,
// decoded, checked against the template's rules and added below the
// selected node; each entry read back with ldapsearch.
#include "browser/CommandReports.h"
#include "templates/FormCreation.h"
#include "tests/tools/create/CreateFixture.h"

namespace {

const std::string kBase = SlapdServer::suffix();

class FormCreationTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        startServer(options);
    }

    FormCreationTest()
    {
        logInAsAdmin();
        LoadTree(context);
        selectPath(context, { "ou=People" });
        desktop = FakeDesktop {};
    }

    // The fields as posted and decoded again, the submit pair left out.
    DialogResult post(const XmlTemplate& form, const std::vector<FormPair>& fields, std::string& labelText)
    {
        std::vector<FormPair> pairs = fields;
        pairs.push_back({ "submit", "ok" });
        pairs = DecodeFormPost(EncodeFormPost(pairs));
        pairs.pop_back();
        return CreateFromForm(context, form, pairs, labelText);
    }
};

XmlTemplate formTemplate(const std::vector<std::pair<std::string, std::string>>& fields)
{
    // A person when there is a cn to name one, else a locality.
    const bool person = std::any_of(fields.begin(), fields.end(), [](const auto& f) { return f.first == "cn"; });
    XmlTemplate form { { person ? "inetOrgPerson" : "locality" }, {} };
    for (const auto& [name, rule] : fields) {
        TemplateField& field = form.fields.emplace_back();
        field.name = name;
        field.validation = rule;
    }
    return form;
}

} // namespace

TEST_F(FormCreationTest, TheFieldsNameAndFillTheEntry)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> fields; // name, rule
        std::vector<std::string> values;
        std::string rdn; // empty: nothing is added
        Boxes boxes;
        std::string checkAttribute;
        Strings checkValues;
    };
    const std::string stored = "Zoë (R&D) 100% + more = x";
    const std::vector<Case> cases {
        { "uid names the entry though cn comes first; every character arrives",
            { { "cn", "" }, { "sn", "" }, { "uid", "alphanumeric" } }, { stored, "Lee", "zoë7" }, "uid=zoë7", {},
            "cn", { stored } },
        { "cn names it without uid, escaped; a repeated name gathers its values; an empty field is left out",
            { { "sn", "" }, { "cn", "" }, { "description", "" }, { "description", "" }, { "title", "" } },
            { "Doe", "Doe, Jane", "one", "two", "" }, "cn=Doe\\, Jane", {}, "description", { "one", "two" } },
        { "an empty field is not sent: here the server misses sn and says so", { { "sn", "" }, { "cn", "" } },
            { "", "Solo" }, "", { errorBox(OrnLdapService::LdapErrorToString(65), "Server Response") }, "", {} },
        { "neither uid nor cn: the first field names it", { { "l", "" }, { "description", "" } }, { "Oslo", "x" },
            "l=Oslo", {}, "description", { "x" } },
        { "an empty uid is refused before anything is sent", { { "uid", "" }, { "cn", "" }, { "sn", "" } },
            { "", "Ann", "Lee" }, "", { errorBox("uid Field cannot be empty", "Error") }, "", {} },
        { "a boolean field holding on passes", { { "cn", "" }, { "sn", "" }, { "description", "boolean" } },
            { "Bo", "Ole", "on" }, "cn=Bo", {}, "description", { "on" } },
        { "yes is no boolean", { { "cn", "" }, { "sn", "" }, { "description", "BOOLEAN" } }, { "Yes", "No", "yes" },
            "", { errorBox("yes Non boolean value specified.Unable to Create Object", "Validation Error") }, "", {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desktop = FakeDesktop {};
        std::vector<FormPair> fields;
        for (std::size_t i = 0; i < c.fields.size(); ++i)
            fields.push_back({ c.fields[i].first, c.values[i] });
        std::string labelText;
        DialogResult result = post(formTemplate(c.fields), fields, labelText);
        EXPECT_EQ(desktop.boxes, c.boxes);
        EXPECT_EQ(labelText, c.rdn);
        EXPECT_EQ(result, c.rdn.empty() ? DialogResult::None : DialogResult::Ok);
        if (!c.rdn.empty()) {
            EXPECT_EQ(server().ldapsearchValues(c.rdn + ",ou=People," + kBase, c.checkAttribute), c.checkValues);
        }
    }
}

TEST(FormRules, EachRuleAndItsMessage)
{
    struct Case {
        const char* rule;
        const char* value;
        const char* failure; // null: passes
    };
    const std::vector<Case> cases {
        { "Number", "0123", nullptr },
        { "number", "12a", " Value is Not Numeric.Unable to Create Object" },
        { "nonnegativenumber", "7 apples", nullptr },
        { "NonNegativeNumber", "-1", " Negative value specified.Unable to Create Object" },
        { "charactersonly", "Zoë", nullptr },
        { "charactersonly", "Zoë 2", " Non character Value Specified.Unable to Create Object" },
        { "alphanumeric", "東京2", nullptr },
        { "alphanumeric", "a-b", " Non alphanumeric value specified.Unable to Create Object" },
        { "alphanumeric", "\xC3", " Non alphanumeric value specified.Unable to Create Object" },
        { "boolean", "off", nullptr },
        { "boolean", "", nullptr },
        { "anything", "(*)", nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " " + c.value);
        FakeDesktop desktop;
        EXPECT_EQ(ValidateValue(desktop, c.value, c.rule), c.failure == nullptr);
        if (c.failure) {
            EXPECT_EQ(desktop.boxes, Boxes({ errorBox(c.value + std::string(c.failure), "Validation Error") }));
        }
    }
}
