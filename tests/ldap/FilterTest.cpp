#include "ldap/OrnQuery.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Compiled {
    int32_t result;
    Bytes bytes;
};

Compiled compile(const char* filter)
{
    BerCodec codec;
    BerBuffer* ber = codec.ber_alloc(BER_MINIMAL_LENGTHS);
    Compiled compiled { put_filter(codec, ber, filter), {} };
    if (ber->buf)
        compiled.bytes.assign(ber->buf, ber->ptr);
    codec.ber_free(ber, 1);
    return compiled;
}

struct Written {
    const char* filter;
    const char* expected;
};

void PrintTo(const Written& w, std::ostream* os)
{
    *os << '"' << w.filter << '"';
}

const Written kWritten[] = {
    { "(&(objectClass=person)(cn=a*b*c))",
        "A0 28 A3 15 04 0B 6F 62 6A 65 63 74 43 6C 61 73 73 04 06 70 65 72 73 6F 6E "
        "A4 0F 04 02 63 6E 30 09 80 01 61 81 01 62 82 01 63" },
    { "(|(cn=a)(sn=b))", "A1 12 A3 07 04 02 63 6E 04 01 61 A3 07 04 02 73 6E 04 01 62" },
    { "(!(cn=a))", "A2 09 A3 07 04 02 63 6E 04 01 61" },
    { "(&)", "A0 00" },
    { "(cn>=a)", "A5 07 04 02 63 6E 04 01 61" },
    { "(cn<=a)", "A6 07 04 02 63 6E 04 01 61" },
    { "(cn~=a)", "A8 07 04 02 63 6E 04 01 61" },
    { "(cn=*)", "87 02 63 6E" },
    { "(cn=)", "A3 06 04 02 63 6E 04 00" },
    { "(=a)", "A3 05 04 00 04 01 61" },
    // Substrings: empty pieces are left out, inner pieces are "any".
    { "(cn=a*)", "A4 09 04 02 63 6E 30 03 80 01 61" },
    { "(cn=*a)", "A4 09 04 02 63 6E 30 03 82 01 61" },
    { "(cn=*a*)", "A4 09 04 02 63 6E 30 03 81 01 61" },
    { "(cn=**)", "A4 06 04 02 63 6E 30 00" },
    { "(cn=a**b)", "A4 0C 04 02 63 6E 30 06 80 01 61 82 01 62" },
    { "(cn=a*bc*d*e)", "A4 13 04 02 63 6E 30 0D 80 01 61 81 02 62 63 81 01 64 82 01 65" },
    // The asterisk is an ordinary character in the ordering and approximate forms.
    { "(cn<=a*)", "A6 08 04 02 63 6E 04 02 61 2A" },
    { "(cn~=*)", "A8 07 04 02 63 6E 04 01 2A" },
    // Escapes protect parentheses; once dropped, \* still splits a value.
    { "(cn=a\\(b\\))", "A3 0A 04 02 63 6E 04 04 61 28 62 29" },
    { "(cn=a\\*b)", "A4 0C 04 02 63 6E 30 06 80 01 61 82 01 62" },
    { "(cn=a\\\\b)", "A3 09 04 02 63 6E 04 03 61 5C 62" },
    { "(cn=a\\\\)", "A3 08 04 02 63 6E 04 02 61 5C" },
    { "(c\\n=a)", "A3 07 04 02 63 6E 04 01 61" },
    // Bare items run to the end of the text, parentheses and all.
    { "cn=a", "A3 07 04 02 63 6E 04 01 61" },
    { "cn=a)", "A3 08 04 02 63 6E 04 02 61 29" },
    { "cn=a\\)", "A3 08 04 02 63 6E 04 02 61 29" },
    // Blanks: skipped between top-level parts, kept inside items.
    { "  (cn=a)  ", "A3 07 04 02 63 6E 04 01 61" },
    { "( cn=a)", "A3 08 04 03 20 63 6E 04 01 61" },
    { "(cn= a )", "A3 09 04 02 63 6E 04 03 20 61 20" },
    { "(&\t(cn=a)\n (sn=b)\r\n)", "A0 12 A3 07 04 02 63 6E 04 01 61 A3 07 04 02 73 6E 04 01 62" },
    // Filters in a row are all written.
    { "(cn=a)(sn=b)", "A3 07 04 02 63 6E 04 01 61 A3 07 04 02 73 6E 04 01 62" },
    { "(cn=a) sn=b", "A3 07 04 02 63 6E 04 01 61 A3 07 04 02 73 6E 04 01 62" },
    // Parentheses inside an item only have to balance.
    { "(cn=(a))", "A3 09 04 02 63 6E 04 03 28 61 29" },
    { "(&(|(a=1)(!(b=2)))(c=3*))",
        "A0 1E A1 12 A3 06 04 01 61 04 01 31 A2 08 A3 06 04 01 62 04 01 32 A4 08 04 01 63 30 03 80 01 33" },
    { "", "" },
};

class FilterWritten : public testing::TestWithParam<Written> { };

TEST_P(FilterWritten, GivesExactBytes)
{
    Compiled compiled = compile(GetParam().filter);
    ASSERT_EQ(compiled.result, 0);
    EXPECT_EQ(toHex(compiled.bytes), toHex(hex(GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(Filter, FilterWritten, testing::ValuesIn(kWritten));

TEST(FilterRefused, MalformedFiltersFail)
{
    for (const char* filter : {
             "(cn=a", // unbalanced
             "(cn=a))", // the count ends at -1
             "()", // no "="
             "(cn)", // no "="
             "cn", // bare, no "="
             "(", // ends after "("
             ")", // closes nothing
             "(&cn=a)", // member not parenthesized
             "(&(cn=a)x)", // trailing garbage in the list
             "(&(cn=a)", // and without its ")"
             "(!(cn=a)", // not without its ")"
             "(cn=a\\)", // the only ")" is escaped
             "(&(cn=a\\))", // ditto, one level down
             "(|(cn=a)()))", // empty member, extra ")"
         }) {
        EXPECT_EQ(compile(filter).result, -1) << '"' << filter << '"';
    }
    EXPECT_EQ(compile(nullptr).result, -1);
}

// The compiler reads the text through views; nothing is cut into it, so a
// failure halfway cannot leave zero bytes behind.
TEST(FilterText, IsUnchangedAfterSuccessAndFailure)
{
    for (const char* filter : { "(&(objectClass=person)(cn=a*b*c)(sn=x\\(y\\)))", "(&(cn=a)(sn=b*c)x)",
             "(|(cn=a*b)(!(sn<=c\\*d)))", "(cn=a*b" }) {
        std::string text = filter;
        compile(text.data());
        EXPECT_EQ(text, filter);
        EXPECT_EQ(text.size(), std::string(filter).size());
    }
}

std::string nested(const char* op, std::size_t depth, bool closed)
{
    std::string text;
    for (std::size_t i = 0; i < depth; ++i)
        text += op;
    text += "(cn=a)";
    if (closed)
        text.append(depth, ')');
    return text;
}

TEST(FilterNesting, TwoHundredFiftySixLevelsAreAccepted)
{
    for (const char* op : { "(!", "(&", "(|" }) {
        Compiled compiled = compile(nested(op, 256, true).c_str());
        ASSERT_EQ(compiled.result, 0) << op;
        // 256 nested headers around the 9-byte item; the outer ones take
        // the two-octet length form.
        EXPECT_EQ(compiled.bytes.back(), 'a');
        EXPECT_EQ(compiled.bytes[0], static_cast<uint8_t>(0xA0 + (op[1] == '!' ? 2 : op[1] == '|' ? 1 : 0)));
        EXPECT_EQ(compiled.bytes[1], 0x82);
    }
}

// 100,000 levels would run the stack out if the compiler recursed into them.
TEST(FilterNesting, DeeperFiltersAreRefused)
{
    for (std::size_t depth : { 257u, 100000u })
        for (bool closed : { true, false }) {
            std::string text = nested("(!", depth, closed);
            EXPECT_EQ(compile(text.c_str()).result, -1) << depth << (closed ? " closed" : " open");
        }
}

TEST(FilterSize, LongFlatFilterIsWritten)
{
    std::string text = "(|";
    // The buffer grows a block at a time, so keep the output moderate.
    for (int i = 0; i < 20000; ++i)
        text += "(cn=a*b)";
    text += ")";
    Compiled compiled = compile(text.c_str());
    ASSERT_EQ(compiled.result, 0);
    EXPECT_EQ(compiled.bytes.size(), 5u + 20000u * 14u);
}

} // namespace
