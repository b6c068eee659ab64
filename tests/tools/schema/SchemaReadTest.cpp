// The schema as a real slapd publishes it: every value of cn=Subschema
// read through our library and parsed whole and cut short, and a few
// well-known records field by field.
#include "tools/schema/SchemaRead.h"
#include "browser/session/ServerInfo.h"
#include "ldap/OrnCodes.h"
#include "tests/support/CoreSession.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

// Parses every prefix of the value from a buffer of exactly its size, so
// that a sanitizer build sees any read past the end; the texts taken from
// the value must be parts of it.
template <class Record, class Fields>
void parseEveryPrefix(const std::string& value, Record (*parse)(std::string_view), Fields fields)
{
    for (std::size_t length = 0; length <= value.size(); ++length) {
        std::unique_ptr<char[]> exact(new char[length]);
        value.copy(exact.get(), length);
        const std::string_view prefix(exact.get(), length);
        Record record = parse(prefix);
        for (const std::string* field : fields(record))
            ASSERT_NE(prefix.find(*field), std::string_view::npos) << "\"" << *field << "\" from \"" << prefix << "\"";
    }
}

} // namespace

class SchemaReadTest : public CoreSessionTest {
protected:
    static void SetUpTestSuite() { startServer({}); }

    SchemaReadTest() { logInAsAdmin(); }

    // Reads one attribute of the subschema entry and returns its values.
    std::vector<std::string> read(const char* attribute, const char* wanted)
    {
        EXPECT_EQ(ReadSchemaAttribute(context, attribute), 0);
        std::vector<std::string> values;
        ForEachAttributeValue(state.rootDseResult.get(), wanted, [&](const char* value) { values.emplace_back(value); });
        return values;
    }
};

TEST_F(SchemaReadTest, EveryAttributeTypeParsesWithinItsValue)
{
    std::vector<std::string> values = read("attributetypes", "ATTRIBUTETYPES");
    ASSERT_GT(values.size(), 100u);
    // Only the asked attribute comes back.
    EXPECT_TRUE(read("attributetypes", "objectclasses").empty());

    for (const std::string& value : values)
        state.attributeTypes.add(value);
    EXPECT_EQ(state.attributeTypes.count(), values.size());
    for (const std::string& value : values)
        parseEveryPrefix(value, ParseAttributeType, [](const AttributeTypeRecord& record) {
            return std::array { &record.name, &record.description, &record.oid, &record.syntax };
        });

    struct Known {
        std::string name, oid, description, syntax;
    };
    const std::vector<Known> known {
        { " 'cn' 'commonName' ", "2.5.4.3", "RFC4519: common name(s) for which the entity is known by", "" },
        { "name", "2.5.4.41", "RFC4519: common supertype of name attributes",
            "1.3.6.1.4.1.1466.115.121.1.15{32768} )" },
        { "OrnAttrObjectLink", "1.3.6.1.4.1.99999.1.1", "DN of the entry an object link points to",
            "1.3.6.1.4.1.1466.115.121.1.12 )" },
    };
    for (const Known& expected : known) {
        const AttributeTypeRecord* record = state.attributeTypes.find(expected.name);
        ASSERT_NE(record, nullptr) << expected.name;
        EXPECT_EQ(record->name, expected.name);
        EXPECT_EQ(record->oid, expected.oid);
        EXPECT_EQ(record->description, expected.description);
        EXPECT_EQ(record->syntax, expected.syntax);
    }
}

TEST_F(SchemaReadTest, EveryObjectClassParsesWithinItsValue)
{
    std::vector<std::string> values = read("objectclasses", "objectClasses");
    ASSERT_GT(values.size(), 20u);
    for (const std::string& value : values)
        state.objectClasses.add(value);
    for (const std::string& value : values)
        parseEveryPrefix(value, ParseObjectClass, [](const ObjectClassRecord& record) {
            return std::array { &record.name, &record.description, &record.oid };
        });

    struct Known {
        std::string name, oid, superiors, mandatory, optionalStart;
    };
    const std::vector<Known> known {
        { "person", "2.5.6.6", "top", "sn$cn", "userPassword$telephoneNumber$seeAlso$description" },
        { "inetOrgPerson", "2.16.840.1.113730.3.2.2", "organizationalPerson", "",
            "audio$businessCategory$carLicense$" },
        { "OrnObjectLink", "1.3.6.1.4.1.99999.2.1", "top", "OrnAttrObjectLink", "cn$description" },
    };
    for (const Known& expected : known) {
        const ObjectClassRecord* record = state.objectClasses.find(expected.name);
        ASSERT_NE(record, nullptr) << expected.name;
        EXPECT_EQ(record->oid, expected.oid);
        EXPECT_EQ(record->superiors, expected.superiors);
        EXPECT_EQ(record->mandatory, expected.mandatory);
        EXPECT_EQ(record->optional.substr(0, expected.optionalStart.size()), expected.optionalStart);
    }
}

TEST_F(SchemaReadTest, WithoutASubschemaDnTheFixedSchemaReadIsUsed)
{
    // slapd names its subschema entry cn=Subschema: the fixed read of
    // cn=Schema is refused with noSuchObject and finds no entry.
    state.subschemaDn.clear();
    EXPECT_EQ(ReadSchemaAttribute(context, "attributetypes"), 32);
    ASSERT_NE(state.rootDseResult.get(), nullptr);
    EXPECT_EQ(state.rootDseResult.get()->end_of_search, 1);

    service.DestroyAll();
    EXPECT_EQ(ReadSchemaAttribute(context, "attributetypes"), ORN_NOT_INITIALISED);
    state.subschemaDn = "cn=Subschema";
    EXPECT_LT(ReadSchemaAttribute(context, "attributetypes"), 0);
}

// Cancelled while the server hangs, either read is abandoned and the next
// one, once the server answers, gets the schema and nothing of the first.
TEST_F(SchemaReadTest, ACancelledReadIsAbandonedAndTheNextOneWorks)
{
    for (const char* subschemaDn : { "cn=Subschema", "" }) {
        SCOPED_TRACE(subschemaDn);
        state.subschemaDn = subschemaDn;
        server().freeze();
        desktop.cancelWaitAt(2);
        EXPECT_EQ(ReadSchemaAttribute(context, "attributetypes"), ORN_SEARCH_CANCELLED);
        server().thaw();
        EXPECT_EQ(desktop.waitsFor.back(), "Reading the schema");
        EXPECT_EQ(state.rootDseResult.get(), nullptr);
        state.subschemaDn = "cn=Subschema";
        EXPECT_GT(read("attributetypes", "attributetypes").size(), 100u);
    }
}
