// The simple paged results control: the request value against OpenLDAP is
// in the cross-check; here the server's answer as the reader takes it,
// whatever the bytes.
#include "ldap/OrnCodes.h"
#include "ldap/OrnControl.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    const char* oid;
    const char* value; // hex; null: the control has none
    int32_t code;
    int32_t estimate;
    const char* cookie;
};

const Case kCases[] = {
    { "estimate and cookie", ORN_CONTROL_PAGEDRESULTS, "30 0A 02 02 09 C4 04 04 01 02 03 04", 0, 2500, "01 02 03 04" },
    { "last page", ORN_CONTROL_PAGEDRESULTS, "30 05 02 01 00 04 00", 0, 0, "" },
    { "negative estimate", ORN_CONTROL_PAGEDRESULTS, "30 05 02 01 FF 04 00", 0, 0, "" },
    { "another control only", "1.2.3", "30 05 02 01 00 04 00", ORN_CONTROL_NOT_FOUND, -1, nullptr },
    { "no value", ORN_CONTROL_PAGEDRESULTS, nullptr, ORN_BER_DECODE_ERROR, -1, nullptr },
    { "not a sequence", ORN_CONTROL_PAGEDRESULTS, "04 00", ORN_BER_DECODE_ERROR, -1, nullptr },
    { "cookie missing", ORN_CONTROL_PAGEDRESULTS, "30 03 02 01 00", ORN_BER_DECODE_ERROR, -1, nullptr },
    { "cookie past the value", ORN_CONTROL_PAGEDRESULTS, "30 05 02 01 00 04 09", ORN_BER_DECODE_ERROR, -1, nullptr },
    { "estimate of five octets", ORN_CONTROL_PAGEDRESULTS, "30 09 02 05 01 00 00 00 00 04 00", ORN_BER_DECODE_ERROR,
        -1, nullptr },
};

TEST(PageControl, ReadsTheServersAnswerOrRefusesIt)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Bytes value = c.value ? hex(c.value) : Bytes {};
        std::string oid = c.oid;
        OrnControl control { oid.data(), { static_cast<uint32_t>(value.size()),
                                             c.value ? reinterpret_cast<char*>(value.data()) : nullptr }, 0 };
        OrnControl* controls[] = { &control, nullptr };
        int32_t estimate = -1;
        BerValue* cookie = nullptr;
        EXPECT_EQ(OrnParsePageControl(controls, &estimate, &cookie), c.code);
        EXPECT_EQ(estimate, c.estimate);
        ASSERT_EQ(cookie != nullptr, c.cookie != nullptr);
        if (cookie) {
            EXPECT_EQ(toHex(Bytes(cookie->bytes, cookie->bytes + cookie->length)), c.cookie);
            BerCodec().ber_bvfree(cookie);
        }
    }
    int32_t estimate = 0;
    BerValue* cookie = nullptr;
    EXPECT_EQ(OrnParsePageControl(nullptr, &estimate, &cookie), ORN_CONTROL_NOT_FOUND);
}

TEST(PageControl, RefusesANegativePageSize)
{
    OrnControl* control = nullptr;
    EXPECT_EQ(OrnCreatePageControl(-1, nullptr, 0, &control), INVALID_INPUT);
    EXPECT_EQ(control, nullptr);
}

} // namespace
