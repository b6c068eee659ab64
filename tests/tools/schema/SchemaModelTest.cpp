// The definition parser on hand-written values: the literal keyword search
// and its fixed offsets, and what it reads from values that end early.
#include "tools/schema/SchemaModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every field, so that a table row compares as a whole.
std::vector<std::string> fields(const AttributeTypeRecord& r)
{
    return { r.definition, r.name, r.description, r.oid, r.syntax };
}
std::vector<std::string> fields(const ObjectClassRecord& r)
{
    return { r.definition, r.name, r.description, r.superiors, r.mandatory, r.optional, r.oid };
}

} // namespace

TEST(ParseAttributeType, FieldsOfHandWrittenDefinitions)
{
    // definition, name, description, OID, syntax
    const std::vector<AttributeTypeRecord> cases {
        // Several names keep the raw text between the parentheses.
        { "( 2.5.4.3 NAME ( 'cn' 'commonName' ) DESC 'RFC4519: common name(s)' SUP name )", " 'cn' 'commonName' ",
            "RFC4519: common name(s)", "2.5.4.3", "" },
        { "( 1.2 NAME () DESC 'x' )", "", "x", "1.2", "" },
        { "( 1.2 NAME    'spaced' )", "spaced", "", "1.2", "" },
        // Whatever follows NAME is taken as the opening quote.
        { "( 1.2 NAME xname' )", "name", "", "1.2", "" },
        { "( 1.2 DESC '' )", "", "", "1.2", "" },
        // A quoted syntax is the OID alone; an unquoted one runs to the next quote or the end.
        { "( 1.2.3 NAME 'a' SYNTAX '1.3.6.1.4.1.1466.115.121.1.15' )", "a", "", "1.2.3",
            "1.3.6.1.4.1.1466.115.121.1.15" },
        { "( 2.5.4.41 NAME 'name' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{64} SINGLE-VALUE )", "name", "", "2.5.4.41",
            "1.3.6.1.4.1.1466.115.121.1.15{64} SINGLE-VALUE )" },
        { "( 1.2 SYNTAX 1.3.6.1.4.1.1466.115.121.1.12 X-ORIGIN 'mine' )", "", "", "1.2",
            "1.3.6.1.4.1.1466.115.121.1.12 X-ORIGIN " },
        { "( 1.2 NAME 'a' SYNTAX '' )", "a", "", "1.2", "" },
        // Keywords are found anywhere, even inside another word, and only in upper case.
        { "( 9.9 NAME 'noDESC' SYNTAX '1.1' )", "noDESC", "SYNTAX ", "9.9", "1.1" },
        { "( 9.9 NAME 'a' X-DESCRIPTION 'about' )", "a", "PTION ", "9.9", "" },
        { "( 9.9 name 'a' desc 'b' syntax '1.1' )", "", "", "9.9", "" },
        // The OID is the first word after the parenthesis and any blanks.
        { "(1.2.3 NAME 'tight' )", "tight", "", "1.2.3", "" },
        { "(  \t1.2.3 NAME 'wide' )", "wide", "", "1.2.3", "" },
        { "( 1.2.3\tNAME 'tab' )", "tab", "", "1.2.3", "" },
        { "( 1.2.3", "", "", "1.2.3", "" },
        { "(", "", "", "", "" },
        { "( ", "", "", "", "" },
        // Empty or white space only: no fields at all.
        { "", "", "", "", "" },
        { " \t\r\n ", "", "", "", "" },
        // Values that end before their closing quote or parenthesis, or right after a keyword.
        { "( 1.2 NAME 'trunc", "trunc", "", "1.2", "" },
        { "( 1.2 NAME ( 'a' 'b'", " 'a' 'b'", "", "1.2", "" },
        { "( 1.2 NAME", "", "", "1.2", "" },
        { "( 1.2 NAME ", "", "", "1.2", "" },
        { "( 1.2 NAME '", "", "", "1.2", "" },
        { "( 1.2 DESC 'no end", "", "no end", "1.2", "" },
        { "( 1.2 DESC", "", "", "1.2", "" },
        { "( 1.2 DESC '", "", "", "1.2", "" },
        { "( 1.2 SYNTAX '1.3.6", "", "", "1.2", "1.3.6" },
        { "( 1.2 SYNTAX", "", "", "1.2", "" },
        { "( 1.2 SYNTAX '", "", "", "1.2", "" },
    };
    for (const AttributeTypeRecord& expected : cases)
        EXPECT_EQ(fields(ParseAttributeType(expected.definition)), fields(expected));
}

TEST(ParseObjectClass, FieldsOfHandWrittenDefinitions)
{
    // definition, name, description, superiors, MUST, MAY, OID
    const std::vector<ObjectClassRecord> cases {
        { "( 2.5.6.6 NAME 'person' DESC 'RFC2256: a person' SUP top STRUCTURAL MUST ( sn $ cn ) MAY ( userPassword $ "
          "telephoneNumber ) )",
            "person", "RFC2256: a person", "top", "sn$cn", "userPassword$telephoneNumber", "2.5.6.6" },
        // What Add New Object Class sends, with the OID right after the parenthesis.
        { "(1.2.3 NAME 'myClass' DESC 'UserDefined ObjectClass' SUP 'top' MUST ( objectclass $ cn ) MAY ( aci ))",
            "myClass", "UserDefined ObjectClass", "top", "objectclass$cn", "aci", "1.2.3" },
        { "( 1.1 NAME 'c' SUP 'top' MUST ( ) MAY ( aci ) )", "c", "", "top", "", "aci", "1.1" },
        // A list of superiors keeps each element's leading letters and digits.
        { "( 1.1 NAME ( 'two' 'names' ) SUP ( a $ b2 ) MUST cn )", " 'two' 'names' ", "", "a$b2", "cn", "", "1.1" },
        { "( 1.1 SUP ( top-level $ x.y ) )", "", "", "top$x", "", "", "1.1" },
        { "( 1.1 SUP ( $ a ) )", "", "", "$a", "", "", "1.1" },
        // The SUP list ends at its own parenthesis, before the MUST list.
        { "( 1.1 SUP ( a $ b ) MUST ( cn $ sn ) )", "", "", "a$b", "cn$sn", "", "1.1" },
        // A single superior drops every other character up to the next blank.
        { "( 1.1 SUP top-level STRUCTURAL )", "", "", "toplevel", "", "", "1.1" },
        { "( 1.1 SUP top)", "", "", "top", "", "", "1.1" },
        { "( 1.1 SUP 'x' MUST", "", "", "x", "", "", "1.1" },
        // A single name after MUST or MAY runs to the next blank, whatever it holds.
        { "( 1.1 MUST OrnAttrObjectLink MAY ( cn $ description ) )", "", "", "", "OrnAttrObjectLink", "cn$description",
            "1.1" },
        { "( 1.1 MAY aci)", "", "", "", "", "aci)", "1.1" },
        { "( 1.1 MUST (cn$sn) )", "", "", "", "cn$sn", "", "1.1" },
        // Keywords inside other words count, and only the first place counts.
        { "( 1.1 DESC 'MAYBE SUPPORTED' MAY cn )", "", "MAYBE SUPPORTED", "PORTED", "", "E", "1.1" },
        { "( 1.1 NAME 'MUSTer' MUST cn )", "MUSTer", "", "", "r'", "", "1.1" },
        { "( 1.1 name 'x' sup top must cn may sn )", "", "", "", "", "", "1.1" },
        { "", "", "", "", "", "", "" },
        { "   ", "", "", "", "", "", "" },
        // Values that end early.
        { "( 1.1 SUP ( a $ b", "", "", "a$b", "", "", "1.1" },
        { "( 1.1 SUP (", "", "", "", "", "", "1.1" },
        { "( 1.1 SUP", "", "", "", "", "", "1.1" },
        { "( 1.1 SUP '", "", "", "", "", "", "1.1" },
        { "( 1.1 MUST ( cn $ sn", "", "", "", "cn$sn", "", "1.1" },
        { "( 1.1 MUST", "", "", "", "", "", "1.1" },
        { "( 1.1 MUST ", "", "", "", "", "", "1.1" },
        { "( 1.1 MAY cn", "", "", "", "", "cn", "1.1" },
        { "( 1.1 MAY", "", "", "", "", "", "1.1" },
    };
    for (const ObjectClassRecord& expected : cases)
        EXPECT_EQ(fields(ParseObjectClass(expected.definition)), fields(expected));
}

TEST(SchemaList, FindsTheNewestRecordOfANameIgnoringCase)
{
    AttributeTypeList types;
    EXPECT_TRUE(types.empty());
    EXPECT_EQ(types.add("( 1.1 NAME 'mail' SYNTAX '1.1' )"), "mail");
    const AttributeTypeRecord* older = types.find("mail");
    ASSERT_NE(older, nullptr);
    EXPECT_EQ(types.add("( 2.2 NAME 'MAIL' SYNTAX '2.2' )"), "MAIL");
    EXPECT_EQ(types.add("( 3.3 NAME ( 'cn' 'commonName' ) )"), " 'cn' 'commonName' ");
    EXPECT_EQ(types.count(), 3u);

    ASSERT_NE(types.find("Mail"), nullptr);
    EXPECT_EQ(types.find("Mail")->oid, "2.2");
    // Only the whole raw text of a multi-name record finds it.
    EXPECT_EQ(types.find("cn"), nullptr);
    ASSERT_NE(types.find(" 'CN' 'commonName' "), nullptr);
    EXPECT_EQ(types.find(" 'CN' 'commonName' ")->oid, "3.3");
    EXPECT_EQ(types.find("mai"), nullptr);
    EXPECT_EQ(types.find(""), nullptr);
    // Earlier records stay where they were while newer ones arrive.
    EXPECT_EQ(older->oid, "1.1");

    // The list walks newest first.
    std::vector<std::string> oids;
    for (const AttributeTypeRecord& record : types)
        oids.push_back(record.oid);
    EXPECT_EQ(oids, (std::vector<std::string> { "3.3", "2.2", "1.1" }));

    types.clear();
    EXPECT_TRUE(types.empty());
    EXPECT_EQ(types.count(), 0u);
    EXPECT_EQ(types.find("mail"), nullptr);
}
