#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnQuery.h"
#include "ldap/io.h"
#include "tests/ldap/LiveHeap.h"
#include "tests/ldap/Messages.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string framed(const char* module, const char* function, const std::string& middle = "")
{
    const std::string prefix = std::string(module) + ":" + function + ": Function ";
    return prefix + "Start:\n" + middle + prefix + "End:\n";
}

EntryRecord* decodeEntry(const Bytes& bytes)
{
    DecodedMessage out{};
    EXPECT_EQ(Decode(bytes.data(), uint32_t(bytes.size()), 1, &out), 0);
    return out.entry;
}

// cn=a {objectClass: top, person; cn: a}, the root entry {namingContexts:
// dc=x}, and cn=a {cn: a; CN: b; sn: no values}, ended by the end-of-search node.
class SearchResult : public testing::Test {
protected:
    void SetUp() override
    {
        first = decodeEntry(entryMessage(3, "cn=a", {{"objectClass", {"top", "person"}}, {"cn", {"a"}}}));
        root = decodeEntry(entryMessage(4, "", {{"namingContexts", {"dc=x"}}}));
        third = decodeEntry(entryMessage(3, "cn=a", {{"cn", {"a"}}, {"CN", {"b"}}, {"sn", {}}}));
        end = static_cast<EntryRecord*>(ornCalloc(1, sizeof(EntryRecord)));
        ASSERT_TRUE(first && root && third && end);
        end->end_of_search = 1;
        first->next = root;
        root->next = third;
        third->next = end;
    }

    void TearDown() override { EXPECT_EQ(OrnFreeResult(first), 0); }

    EntryRecord* first = nullptr;
    EntryRecord* root = nullptr;
    EntryRecord* third = nullptr;
    EntryRecord* end = nullptr;
};

TEST(ResultAccess, NullArgumentsGiveTheirTextAndResult)
{
    EntryRecord entry{};
    AttrRecord bare{4, 3, const_cast<char*>("cn"), nullptr, nullptr};
    EntryRecord* entryOut = &entry;
    AttrRecord* attrOut = &bare;
    ValueRecord* valuesOut = nullptr;
    char* dn = const_cast<char*>("kept?");
    struct Case {
        const char* function;
        std::function<int32_t()> call;
        int32_t result;
        const char* text;
    };
    const Case cases[] = {
        {"OrnCountEntries", [] { return OrnCountEntries(nullptr); }, -1,
         "OrnQuery:OrnCountEntries: Result parameter NULL:\n"},
        {"OrnCountValues", [] { return OrnCountValues(nullptr); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnCountValues: Values parameter NULL:\n"},
        {"OrnFirstEntry", [&] { return OrnFirstEntry(nullptr, &entryOut); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnFirstEntry: Result parameter NULL:\n"},
        {"OrnNextEntry", [&] { return OrnNextEntry(nullptr, &entryOut); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnNextEntry: PrevEntry parameter error:\n"},
        {"OrnFirstAttribute", [&] { return OrnFirstAttribute(nullptr, &attrOut); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnFirstAttribute: Entry parameter NULL:\n"},
        {"OrnNextAttribute", [&] { return OrnNextAttribute(nullptr, &attrOut); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnNextAttribute: PrevAttr parameter error:\n"},
        {"OrnGetValues", [&] { return OrnGetValues(nullptr, "cn", &valuesOut); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnGetValues: Result or Attr parameter error:\n"},
        {"OrnGetValues", [&] { return OrnGetValues(&entry, nullptr, &valuesOut); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnGetValues: Result or Attr parameter error:\n"},
        {"OrnGetValues", [&] { return OrnGetValues(static_cast<AttrRecord*>(nullptr), &valuesOut); },
         ORN_FUNC_PARAM_ERROR, "OrnQuery:OrnGetValues: Attr parameter error:\n"},
        {"OrnGetValues", [&] { return OrnGetValues(&bare, &valuesOut); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnGetValues: Attr parameter error:\n"},
        {"OrnFreeDn", [] { return OrnFreeDn(nullptr); }, ORN_FUNC_PARAM_ERROR,
         "OrnQuery:OrnFreeDn: Dn parameter NULL:\n"},
    };
    for (const Case& c : cases) {
        int32_t result = 0;
        EXPECT_EQ(traceOf([&] { result = c.call(); }), framed("OrnQuery", c.function, c.text));
        EXPECT_EQ(result, c.result) << c.text;
    }
    EXPECT_EQ(entryOut, &entry);
    EXPECT_EQ(attrOut, &bare);
    EXPECT_EQ(valuesOut, nullptr);

    int32_t result = 0;
    EXPECT_EQ(traceOf([&] { result = OrnGetDn(nullptr, &dn); }),
              framed("OrnInterface", "OrnGetDn", "OrnInterface:OrnGetDn: Invalid Input\n"));
    EXPECT_EQ(result, INVALID_INPUT);
    EXPECT_EQ(dn, nullptr);
}

TEST_F(SearchResult, CountsAndWalksUpToTheEndOfSearchNode)
{
    int32_t count = 0;
    EXPECT_EQ(traceOf([&] { count = OrnCountEntries(first); }), framed("OrnQuery", "OrnCountEntries"));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(OrnCountEntries(root), 2);
    EXPECT_EQ(OrnCountEntries(end), 0);
    EXPECT_EQ(OrnSortEntries(first, "cn"), 0);
    EXPECT_EQ(OrnGetSchema(first), 0);

    std::vector<std::string> walked;
    EntryRecord* entry = nullptr;
    ASSERT_EQ(OrnFirstEntry(first, &entry), 0);
    for (; !entry->end_of_search; OrnNextEntry(entry, &entry)) {
        std::string names;
        AttrRecord* attr = nullptr;
        ASSERT_EQ(OrnFirstAttribute(entry, &attr), 0);
        for (; attr; OrnNextAttribute(attr, &attr)) {
            ValueRecord* values = nullptr;
            names += std::string(attr->name) + "=" +
                     (OrnGetValues(attr, &values) == 0 ? std::to_string(OrnCountValues(values)) : "none") + " ";
        }
        walked.push_back(names);
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"dn=1 objectClass=2 cn=1 ", "namingContexts=1 ",
                                                 "dn=1 cn=1 CN=1 sn=none "}));
    AttrRecord* none = first->attrs;
    EXPECT_EQ(OrnFirstAttribute(end, &none), 0);
    EXPECT_EQ(none, nullptr);
}

TEST_F(SearchResult, ValuesByNameIgnoreCaseAndTakeTheFirstMatch)
{
    const auto values = [](EntryRecord* entry, const char* type) {
        ValueRecord marker{};
        ValueRecord* found = &marker;
        EXPECT_EQ(OrnGetValues(entry, type, &found), 0);
        if (found == &marker)
            return std::string("unchanged");
        std::string text;
        for (ValueRecord* value = found; value; value = value->next)
            text += std::string(value->data) + ";";
        return text;
    };
    EXPECT_EQ(values(first, "CN"), "a;");
    EXPECT_EQ(values(first, "objectclass"), "top;person;");
    EXPECT_EQ(values(first, "DN"), "cn=a;");
    EXPECT_EQ(values(third, "Cn"), "a;");
    EXPECT_EQ(values(third, "sn"), "");
    EXPECT_EQ(values(first, "c"), "unchanged");
    EXPECT_EQ(values(end, "cn"), "unchanged");
}

TEST_F(SearchResult, DnIsACopyOfThePseudoAttribute)
{
    char* dn = nullptr;
    int32_t result = -1;
    EXPECT_EQ(traceOf([&] { result = OrnGetDn(first, &dn); }), framed("OrnInterface", "OrnGetDn"));
    EXPECT_EQ(result, 0);
    ASSERT_NE(dn, nullptr);
    EXPECT_STREQ(dn, "cn=a");
    EXPECT_NE(dn, first->attrs->values->data);
    EXPECT_EQ(OrnFreeDn(dn), 0);

    for (EntryRecord* entry : {root, end}) {
        dn = const_cast<char*>("kept?");
        EXPECT_EQ(traceOf([&] { result = OrnGetDn(entry, &dn); }),
                  framed("OrnInterface", "OrnGetDn", "OrnInterface:OrnGetDn: Dn not found\n"));
        EXPECT_EQ(result, 0);
        EXPECT_EQ(dn, nullptr);
    }

    dn = const_cast<char*>("kept?");
    long leaked = 0;
    const std::string trace = traceOf([&] {
        const std::size_t before = liveHeapBytes();
        ornFailAllocationAt(0);
        result = OrnGetDn(third, &dn);
        ornFailAllocationAt(-1);
        leaked = long(liveHeapBytes()) - long(before);
    });
    EXPECT_EQ(trace, framed("OrnInterface", "OrnGetDn", "OrnInterface:OrnGetDn: Malloc error\n"));
    EXPECT_EQ(result, MALLOC_ERROR);
    EXPECT_EQ(dn, nullptr);
    EXPECT_EQ(leaked, 0);
}

} // namespace
