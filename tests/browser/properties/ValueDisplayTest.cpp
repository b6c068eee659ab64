// How the attribute list shows values and syntaxes: placeholders for bytes,
// the first line of several, the syntax column's names, and which syntaxes
// hold bytes.
#include "browser/properties/AttributeList.h"
#include "browser/properties/SyntaxNames.h"

#include <gtest/gtest.h>

namespace {

TEST(ValueDisplay, TextIsUtf8WithoutAZeroByte)
{
    const std::pair<std::string, bool> cases[] = {
        { "", true },
        { "plain ASCII", true },
        { "Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x98\x80", true }, // two, three and four bytes
        { "line one\r\nline two\ttab", true },
        { std::string("a\0b", 3), false },
        { "\x89PNG\r\n\x1A\n", false },
        { "\xC3", false },                  // cut short
        { "\xC3\x28", false },             // no continuation byte
        { "\xC0\xAF", false },             // overlong
        { "\xE0\x80\xAF", false },        // overlong
        { "\xED\xA0\x80", false },        // a surrogate
        { "\xF4\x90\x80\x80", false },   // above U+10FFFF
        { "\xF8\x88\x80\x80\x80", false },
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(IsText(bytes), text) << bytes;
}

TEST(ValueDisplay, PlaceholdersAndFirstLines)
{
    const std::pair<AttributeRow, std::string> cases[] = {
        { { "", "description", "" }, "( No Value )" },
        { { "one line", "description", "" }, "one line" },
        { { "first\nsecond", "description", "" }, "first \u2026" },
        { { "first\r\nsecond", "postalAddress", "" }, "first \u2026" },
        { { std::string(2912, 'x'), "jpegPhoto", "", true }, "(binary value, 2,912 bytes)" },
        { { std::string(1234567, 'x'), "jpegPhoto", "", true }, "(binary value, 1,234,567 bytes)" },
        { { "x", "userCertificate;binary", "", true }, "(binary value, 1 byte)" },
        { { "", "userCertificate;binary", "", true }, "(binary value, 0 bytes)" },
    };
    for (const auto& [row, shown] : cases)
        EXPECT_EQ(row.shownValue(), shown) << row.value.substr(0, 20);
}

TEST(SyntaxNames, TheProgramsNamesThenTheStandardOnesWithTheBoundAfter)
{
    const std::pair<const char*, const char*> cases[] = {
        // The program's own names win, odd blanks and all.
        { "1.3.6.1.4.1.1466.115.121.1.12", " Distinguished Name" },
        { "1.3.6.1.4.1.1466.115.121.1.27", "INTEGER" },
        { "2.16.840.1.113719.1.1.5.1.15", "INTEGER" },
        { "1.3.6.1.4.1.1466.115.121.1.7", "boolean" },
        { "1.3.6.1.4.1.1466.115.121.1.40{128}", "Path {128}" },
        { "1.3.6.1.4.1.1466.115.121.1.15{32768}", "Case Ignore String {32768}" },
        // The standard names for the rest.
        { "1.3.6.1.4.1.1466.115.121.1.28", "JPEG" },
        { "1.3.6.1.4.1.1466.115.121.1.8", "Certificate" },
        { "1.3.6.1.4.1.1466.115.121.1.53", "UTC Time" },
        { "1.3.6.1.4.1.1466.115.121.1.11{2}", "Country String {2}" },
        { "1.3.6.1.1.16.1", "UUID" },
        // Unknown: the text as it is.
        { "1.3.6.1.4.1.1466.115.121.1.1000", "1.3.6.1.4.1.1466.115.121.1.1000" },
        { "1.3.6.1.4.1.1466.115.121.1.", "1.3.6.1.4.1.1466.115.121.1." },
        { "1.3.6.1.4.1.1466.115.121.1.2x", "1.3.6.1.4.1.1466.115.121.1.2x" },
        { "1.3.6.1.4.1.4203.1.1.2{64}", "1.3.6.1.4.1.4203.1.1.2{64}" },
        { "", "" },
    };
    for (const auto& [syntax, display] : cases)
        EXPECT_EQ(SyntaxDisplayText(syntax), display) << syntax;
}

TEST(SyntaxNames, BinarySyntaxes)
{
    for (const char* binary : { "1.3.6.1.4.1.1466.115.121.1.40{128}", "1.3.6.1.4.1.1466.115.121.1.28",
             "1.3.6.1.4.1.1466.115.121.1.8", "1.3.6.1.4.1.1466.115.121.1.5", "1.3.6.1.4.1.1466.115.121.1.9" })
        EXPECT_TRUE(IsBinarySyntax(binary)) << binary;
    for (const char* text : { "1.3.6.1.4.1.1466.115.121.1.15", "1.3.6.1.4.1.1466.115.121.1.4000",
             "1.3.6.1.4.1.1466.115.121.1.50{32}", "", "2.16.840.1.113719.1.1.5.1.13" })
        EXPECT_FALSE(IsBinarySyntax(text)) << text;
}

} // namespace
