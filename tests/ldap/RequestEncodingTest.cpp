#include "ldap/Abandon.h"
#include "ldap/Add.h"
#include "ldap/Authent.h"
#include "ldap/Delete.h"
#include "ldap/Modify.h"
#include "ldap/ModifyDn.h"
#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnQuery.h"
#include "ldap/OrnState.h"
#include "tests/ldap/Requests.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const auto nameOf = [](const auto& param) { return std::string(param.param.name); };

char kCn[] = "cn";
char kSn[] = "sn";
char kObjectClass[] = "objectClass";
char kTop[] = "top";
char kB[] = "b";
char* kTopValues[] = { kTop, nullptr };
char* kBValues[] = { kB, nullptr };
char* kNoAttrs[] = { nullptr };
char* kCnSn[] = { kCn, kSn, nullptr };

AttrMod kObjectClassTop { 0, kObjectClass, { kTopValues } };
AttrMod* kAddObjectClass[] = { &kObjectClassTop, nullptr };
AttrMod kReplaceSn { ATTR_MOD_REPLACE, kSn, { kBValues } };
AttrMod* kReplaceSnB[] = { &kReplaceSn, nullptr };
AttrMod* kNoMods[] = { nullptr };
AttrMod kNoValues { ATTR_MOD_DELETE, kSn, { nullptr } };
AttrMod* kNoValuesMods[] = { &kNoValues, nullptr };

// The cross-check with OpenLDAP covers the other requests; these are the
// null arguments, the version-2 bind and a message id past one octet.
struct Golden {
    const char* name;
    Encode encode;
    const char* expected;
};

const Golden kGolden[] = {
    { "Unbind", ENCODE(Authent().OrnUnbind(1, out, 5)), "30 05 02 01 05 42 00" },
    { "AnonymousBindV3", ENCODE(Authent().OrnBind(nullptr, nullptr, LDAP_AUTH_SIMPLE_30, 1, out, 1)),
        "30 0C 02 01 01 60 07 02 01 03 04 00 80 00" },
    { "AnonymousBindV2", ENCODE(Authent(2).OrnBind(nullptr, nullptr, LDAP_AUTH_SIMPLE_30, 1, out, 1)),
        "30 0C 02 01 01 60 07 02 01 02 04 00 80 00" },
    { "ModifyDeleteWholeAttribute", ENCODE(OrnModify("cn=a", kNoValuesMods, 1, out, 7)),
        "30 1A 02 01 07 66 15 04 04 63 6E 3D 61 30 0D 30 0B 0A 01 01 30 06 04 02 73 6E 31 00" },
    { "SearchNullBaseEmptyAttrs", ENCODE(OrnSearch(nullptr, "(objectClass=*)", kNoAttrs, 0, 0, 0, 0, 0, 1, out, 2)),
        "30 25 02 01 02 63 20 04 00 0A 01 00 0A 01 00 02 01 00 02 01 00 01 01 00 87 0B 6F 62 6A 65 63 74 43 6C 61 73 "
        "73 30 00" },
    { "SearchEveryField", ENCODE(OrnSearch("o=x", "cn=a", kCnSn, 1, 2, 500, 30, 3, 1, out, 300)),
        "30 2E 02 02 01 2C 63 28 04 03 6F 3D 78 0A 01 02 0A 01 03 02 02 01 F4 02 01 1E 01 01 FF A3 07 04 02 63 6E 04 "
        "01 61 30 08 04 02 63 6E 04 02 73 6E" },
};

void PrintTo(const Golden& c, std::ostream* os)
{
    *os << c.name;
}

class GoldenRequest : public RequestTable<Golden> { };

TEST_P(GoldenRequest, EncodesExactBytes)
{
    EXPECT_EQ(toHex(encoded(GetParam().encode)), toHex(hex(GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(Requests, GoldenRequest, testing::ValuesIn(kGolden), nameOf);

struct Refusal {
    const char* name;
    bool receiveThreadEnded;
    Encode encode;
    int32_t result;
    const char* text;
};

const Refusal kRefusals[] = {
    { "AddNullDn", false, ENCODE(OrnAdd(nullptr, kAddObjectClass, 1, out, 1)), INVALID_INPUT,
        "Add:OrnAdd(): DN Null\n" },
    { "AddNullAttributes", false, ENCODE(OrnAdd("cn=a", nullptr, 1, out, 1)), INVALID_INPUT,
        "Add:OrnAdd(): No attributes avalaible for adding \n" },
    // The argument checks come before the receive-thread check.
    { "AddEmptyAttributesThreadEnded", true, ENCODE(OrnAdd("cn=a", kNoMods, 1, out, 1)), INVALID_INPUT,
        "Add:OrnAdd(): No attributes avalaible for adding \n" },
    { "BindInvalidMsgid", false, ENCODE(Authent().OrnBind("", "", LDAP_AUTH_SIMPLE_30, 1, out, ORN_INVALID_MSGID)),
        INVALID_INPUT, "Authent:OrnBind() :Message Id is :\n" },
    { "BindKerberos41", false, ENCODE(Authent().OrnBind("", "", LDAP_AUTH_KRBV41_30, 1, out, 1)),
        ORN_AUTH_NOT_SUPPORTED, "Authent:Authentication LDAP_AUTH_KRBV41_30 currently not Supported \n" },
    { "BindKerberos42", false, ENCODE(Authent().OrnBind("", "", LDAP_AUTH_KRBV42_30, 1, out, 1)),
        ORN_AUTH_NOT_SUPPORTED, "Authent:Authentication LDAP_AUTH_KRBV42_30 currently not Supported \n" },
    { "BindSasl", false, ENCODE(Authent().OrnBind("", "", LDAP_AUTH_SASL, 1, out, 1)), ORN_AUTH_NOT_SUPPORTED,
        "Authent:Authentication SASL currently not Supported \n" },
    { "BindUnknownMethod", false, ENCODE(Authent().OrnBind("", "", 0, 1, out, 1)), ORN_UNKNOWN_AUTHENTICATION,
        "Authent:DEFAULT CASE Error:\n" },
    // An ended receive thread wins over an unsupported method.
    { "BindSaslThreadEnded", true, ENCODE(Authent().OrnBind("", "", LDAP_AUTH_SASL, 1, out, 1)), RECV_THREAD_TERMINATED,
        "Authent:OrnBind() Error:\n" },
    { "AddThreadEnded", true, ENCODE(OrnAdd("cn=a", kAddObjectClass, 1, out, 1)), RECV_THREAD_TERMINATED,
        "Add:OrnAdd() :CheckError: Recv thread Terminated\n" },
    { "UnbindThreadEnded", true, ENCODE(Authent().OrnUnbind(1, out, 1)), -1, "Authent:OrnUnBind() Error:" },
    { "DeleteThreadEnded", true, ENCODE(OrnDelete("cn=a", 1, out, 1)), RECV_THREAD_TERMINATED,
        "Delete:OrnDelete() Error:" },
    { "ModifyThreadEnded", true, ENCODE(OrnModify("cn=a", kReplaceSnB, 1, out, 1)), RECV_THREAD_TERMINATED,
        "Modify:OrnModify() Error:" },
    { "ModifyRdnThreadEnded", true, ENCODE(OrnModifyRdn("cn=a", "cn=b", 1, 1, out, 1)), RECV_THREAD_TERMINATED,
        "ModifyDn:OrnModifyRdn() Error:" },
    { "AbandonThreadEnded", true, ENCODE(ornAbandon(1, out, 1, 2)), RECV_THREAD_TERMINATED,
        "Abandon:ornAbandon: Error:" },
    { "SearchThreadEnded", true, ENCODE(OrnSearch("", "(cn=a)", nullptr, 0, 0, 0, 0, 0, 1, out, 1)),
        RECV_THREAD_TERMINATED, "" },
    { "CompareThreadEnded", true, ENCODE(OrnCompare("cn=a", "sn", "b", 1, out, 1)), RECV_THREAD_TERMINATED, "" },
    { "SearchMalformedFilter", false, ENCODE(OrnSearch("", "(cn=a", nullptr, 0, 0, 0, 0, 0, 1, out, 1)), 0,
        "OrnQuery:put_filter: simple:\nOrnQuery:OrnSearch: Error putting filter:\n" },
};

void PrintTo(const Refusal& c, std::ostream* os)
{
    *os << c.name;
}

class RefusedRequest : public testing::TestWithParam<Refusal> {
protected:
    void TearDown() override { ResetLibraryState(); }
};

TEST_P(RefusedRequest, ReturnsItsCodeAndLeavesNoBuffer)
{
    const Refusal& refusal = GetParam();
    RecvThreadExited = refusal.receiveThreadEnded ? 1 : 0;
    BerBuffer* out = reinterpret_cast<BerBuffer*>(&out); // anything but null
    int32_t result = 0;
    EXPECT_EQ(traceOf([&] { result = refusal.encode(&out); }), refusal.text);
    EXPECT_EQ(result, refusal.result);
    EXPECT_EQ(out, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Requests, RefusedRequest, testing::ValuesIn(kRefusals), nameOf);

TEST(UnbindAfterThreadEnded, RecordsTheEndInErrorNo)
{
    RecvThreadExited = 1;
    BerBuffer* out = nullptr;
    EXPECT_EQ(Authent().OrnUnbind(1, &out, 1), -1);
    EXPECT_EQ(ErrorNo.load(), RECV_THREAD_TERMINATED);
    ResetLibraryState();
}

struct AllocationCase {
    const char* name;
    Encode encode;
    int32_t noBuffer; // result when the buffer itself cannot be allocated
    int32_t notEncoded; // result when a later allocation fails
    const char* noBufferText;
    const char* notEncodedText;
};

// Long enough that the request needs a second block, with a filter item
// that must be copied to drop its escapes.
const std::string kLongValue(1500, 'v');
const std::string kEscapedFilter = "(&(cn=" + std::string(300, 'e') + "\\(x\\))(sn=" + kLongValue + "))";

const AllocationCase kAllocationCases[] = {
    { "Bind", ENCODE(Authent().OrnBind("cn=a", "pw", LDAP_AUTH_SIMPLE_30, 1, out, 1)), MALLOC_ERROR,
        ORN_BER_ENCODE_ERROR, "Authent:Alloc_Ber() Error:\n", "Authent:Ber_Printf() Error:\n" },
    { "Unbind", ENCODE(Authent().OrnUnbind(1, out, 1)), MALLOC_ERROR, ORN_BER_ENCODE_ERROR,
        "Authent:Alloc_Ber() Error:", "Authent:Alloc_Ber() Error:" },
    { "Add", ENCODE(OrnAdd(kLongValue.c_str(), kAddObjectClass, 1, out, 1)), MALLOC_ERROR, ORN_BER_ENCODE_ERROR,
        "Add:OrnAdd(): Ber.ldap_alloc_ber_with_options: Malloc Error:\n", nullptr },
    { "Modify", ENCODE(OrnModify(kLongValue.c_str(), kReplaceSnB, 1, out, 1)), MALLOC_ERROR, ORN_BER_ENCODE_ERROR,
        "Modify:OrnModify() Error:", "Modify:OrnModify() Error:" },
    { "ModifyRdn", ENCODE(OrnModifyRdn("cn=a", kLongValue.c_str(), 1, 1, out, 1)), MALLOC_ERROR, ORN_BER_ENCODE_ERROR,
        "ModifyDn:OrnModifyRdn() Error:", "ModifyDn:OrnModifyRdn() Error:" },
    // The new superior is the element that needs the second block.
    { "ModifyDnNewSuperior", ENCODE(OrnModifyRdn("cn=a", "cn=b", 1, 1, out, 1, kLongValue.c_str())), MALLOC_ERROR,
        ORN_BER_ENCODE_ERROR, "ModifyDn:OrnModifyRdn() Error:", "ModifyDn:OrnModifyRdn() Error:" },
    { "Delete", ENCODE(OrnDelete(kLongValue.c_str(), 1, out, 1)), MALLOC_ERROR, ORN_BER_ENCODE_ERROR,
        "Delete:OrnDelete() Error:", "Delete:OrnDelete() Error:" },
    { "Abandon", ENCODE(ornAbandon(1, out, 1, 2)), MALLOC_ERROR, ORN_BER_ENCODE_ERROR,
        "Abandon:ornAbandon:Error:", "Abandon:ornAbandon() Error:" },
    { "Search", ENCODE(OrnSearch("", kEscapedFilter.c_str(), kCnSn, 0, 2, 0, 0, 0, 1, out, 1)), 0, 0,
        "OrnQuery:OrnSearch: Error allocating BER options:\n", nullptr },
    { "Compare", ENCODE(OrnCompare("cn=a", "sn", kLongValue.c_str(), 1, out, 1)), 0, 0,
        "OrnQuery:OrnCompare: Error allocating BER options:\n", "OrnQuery:OrnCompare: Error during ber_printf:\n" },
};

void PrintTo(const AllocationCase& c, std::ostream* os)
{
    *os << c.name;
}

class AllocationFailure : public RequestTable<AllocationCase> {
protected:
    void TearDown() override { ornFailAllocationAt(-1); }
};

// Fails the first, second, ... allocation in turn until the call gets
// through; every failure must leave the caller nothing (ASan checks leaks).
TEST_P(AllocationFailure, EveryFailingAllocationIsReported)
{
    const AllocationCase& c = GetParam();
    const Bytes good = encoded(c.encode);

    long n = 0;
    for (;; ++n) {
        ASSERT_LT(n, 100) << "never succeeded";
        BerBuffer* out = reinterpret_cast<BerBuffer*>(&out);
        int32_t result = 0;
        std::string text = traceOf([&] {
            ornFailAllocationAt(n);
            result = c.encode(&out);
            ornFailAllocationAt(-1);
        });
        if (out) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(sent(out), good);
            break;
        }
        EXPECT_EQ(result, n == 0 ? c.noBuffer : c.notEncoded) << "allocation " << n;
        if (n == 0) {
            EXPECT_EQ(text, c.noBufferText);
        } else if (c.notEncodedText) {
            EXPECT_EQ(text, c.notEncodedText) << "allocation " << n;
        }
    }
    EXPECT_GE(n, 3) << "the request should need several allocations";
}

INSTANTIATE_TEST_SUITE_P(Requests, AllocationFailure, testing::ValuesIn(kAllocationCases), nameOf);

} // namespace
