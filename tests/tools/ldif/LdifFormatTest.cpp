// The LDIF format on its own: what each value is written as, and what the
// reader makes of each kind of file, each case a few lines of text.
#include "tools/ldif/Base64.h"
#include "tools/ldif/LdifReader.h"
#include "tools/ldif/LdifWriter.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace std::string_literals;

TEST(LdifWriterTest, UnsafeValuesGoBase64AndEmptyOnesStayEmpty)
{
    const std::vector<std::pair<std::string, std::string>> cases {
        { "plain", "description:plain\n" },
        { "", "description:\n" },
        { "(No Value)", "description:(No Value)\n" },
        { " leading blank", "description:: IGxlYWRpbmcgYmxhbms=\n" },
        { ":colon", "description:: OmNvbG9u\n" },
        { "<angle", "description:: PGFuZ2xl\n" },
        { "trailing ", "description:: dHJhaWxpbmcg\n" },
        { "tab\t", "description:: dGFiCQ==\n" },
        { "two\r\nlines", "description:: dHdvDQpsaW5lcw==\n" },
        { "nul\0inside"s, "description:: bnVsAGluc2lkZQ==\n" },
        { "Zo\xc3\xab", "description:: Wm/Dqw==\n" },
        { "inner: colon < angle", "description:inner: colon < angle\n" },
    };
    for (const auto& [value, line] : cases) {
        std::string out;
        AppendLdifLine(out, "description", value);
        EXPECT_EQ(out, line);
    }
}

TEST(LdifBase64Test, EveryLengthAndEveryByteComeBack)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    for (std::size_t length = 0; length <= bytes.size(); length += 1 + length / 8) {
        std::string text;
        AppendBase64(text, bytes.substr(0, length));
        EXPECT_EQ(DecodeBase64(text), bytes.substr(0, length));
    }
    for (const char* bad : { "A", "AB=C", "A===", "AB*D", "=ABC" })
        EXPECT_EQ(DecodeBase64(bad), std::nullopt) << bad;
}

struct Read {
    std::string dn;
    std::vector<LdifAttribute> attributes;
    int faultLine = 0;
};

std::vector<Read> readAll(const std::string& text)
{
    std::istringstream in(text);
    LdifReader reader(in);
    std::vector<Read> out;
    LdifRecord record;
    while (reader.next(record))
        out.push_back({ record.dn, record.attributes, record.faultLine });
    EXPECT_EQ(reader.position(), text.size());
    return out;
}

bool operator==(const Read& a, const Read& b)
{
    return a.dn == b.dn && a.attributes == b.attributes && a.faultLine == b.faultLine;
}
void PrintTo(const Read& read, std::ostream* out)
{
    *out << "{dn \"" << read.dn << "\", fault at " << read.faultLine;
    for (const LdifAttribute& attribute : read.attributes) {
        *out << ", " << attribute.type << ":";
        for (const std::string& value : attribute.values)
            *out << " \"" << value << "\"";
    }
    *out << "}";
}

TEST(LdifReaderTest, ReadsWhatItsOwnAndOtherToolsWrite)
{
    struct Case {
        const char* what;
        std::string text;
        std::vector<Read> records;
    };
    const std::vector<Case> cases {
        { "a blank after the colon of the DN or not: the same DN; two blanks keep one",
            "dn: cn=a,o=x\ndescription:  two\n\nDN:cn=b,o=x \ndescription:none\n",
            { { "cn=a,o=x", { { "description", { " two" } } } }, { "cn=b,o=x", { { "description", { "none" } } } } } },
        { "a continuation joins the line before, a stray one is dropped",
            " stray\ndn: cn=a,o=x\ndescription: abc\n def\n\n",
            { { "cn=a,o=x", { { "description", { "abcdef" } } } } } },
        { "base64 DN and values, folded as ldapsearch folds them",
            "dn:: Y249Wm/DqyxvPXg=\njpegPhoto:: /9gA\n Cg0=\naudio::\n\n",
            { { "cn=Zo\xc3\xab,o=x", { { "jpegPhoto", { "\xff\xd8\0\n\r"s } }, { "audio", { "" } } } } } },
        { "comments with their continuations, a version line and changetype add",
            "# comment\n continued\nversion: 1\ndn: cn=a,o=x\n# inside\nchangetype: add\ncn: a\n\n",
            { { "cn=a,o=x", { { "cn", { "a" } } } } } },
        { "a repeated type is one attribute with its values in file order; CR LF ends lines",
            "dn: cn=a,o=x\r\nobjectClass: top\r\ncn: a\r\nobjectclass: person\r\nobjectClass: x\r\n\r\n",
            { { "cn=a,o=x", { { "objectClass", { "top", "person", "x" } }, { "cn", { "a" } } } } } },
        { "old files: (No Value) and the character 20 are values like any other",
            "dn:cn=a,o=x\ndescription:(No Value)\ndescription:one\x14two\n\n",
            { { "cn=a,o=x", { { "description", { "(No Value)", "one\x14two" } } } } } },
        { "the last record needs no empty line after it", "dn: cn=a,o=x\ncn: a\n\ndn: cn=b,o=x\ncn: b",
            { { "cn=a,o=x", { { "cn", { "a" } } } }, { "cn=b,o=x", { { "cn", { "b" } } } } } },
        { "other change types, URL values, bad base64 and lines without a colon are refused at their line",
            "dn: cn=a,o=x\nchangetype: modify\nreplace: cn\ncn: b\n-\n\n"
            "dn: cn=b,o=x\njpegPhoto:< file:///etc/passwd\n\n"
            "dn: cn=c,o=x\ncn: c\ndescription:: *\n\n"
            "dn: cn=d,o=x\nno colon\n\n"
            "dn: cn=e,o=x\nchangetype: delete\n\n"
            "dn: cn=f,o=x\nchangetype: modrdn\nnewrdn: cn=g\n",
            { { "cn=a,o=x", {}, 2 }, { "cn=b,o=x", {}, 8 }, { "cn=c,o=x", { { "cn", { "c" } } }, 12 },
                { "cn=d,o=x", {}, 15 }, { "cn=e,o=x", {}, 18 }, { "cn=f,o=x", {}, 21 } } },
        { "a zero byte in a DN or a name, which the add request would cut short",
            "dn:: Y249YQBiLG89eA==\n\ndn: cn=h,o=x\nc\0n: x\n"s, { { "cn=a\0b,o=x"s, {}, 1 }, { "cn=h,o=x", {}, 4 } } },
        { "a file of nothing but comments and empty lines holds no record", "\n# only\n\n\n", {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(readAll(c.text), c.records) << c.what;
}

} // namespace
