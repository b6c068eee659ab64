// Texts for the library codes (their names) and for the LDAP result codes.
// Both tables are constant strings owned by the library.
#include "ldap/OrnInterface.h"

#include "ldap/OrnCodes.h"
#include "ldap/OrnTrace.h"

#include <iterator>

namespace {

struct CodeText {
    int32_t code;
    const char* text;
};

#define ORN_CODE_NAME(code) { code, #code }
constexpr CodeText kLibraryCodes[] = {
    ORN_CODE_NAME(MALLOC_ERROR),
    ORN_CODE_NAME(THREAD_ERROR),
    ORN_CODE_NAME(EVENT_OBJECT_ERROR),
    ORN_CODE_NAME(NON_EXISTENT_RECV_THREAD),
    ORN_CODE_NAME(RECV_THREAD_TERMINATED),
    ORN_CODE_NAME(INVALID_INPUT),
    ORN_CODE_NAME(ORN_SYSTEM_ERROR),
    ORN_CODE_NAME(ORN_NETWORK_ERROR),
    ORN_CODE_NAME(SOCKET_BIND_ERROR),
    ORN_CODE_NAME(SOCKET_CONNECTION_ERROR),
    ORN_CODE_NAME(WINSOCK_SARTUP_ERROR),
    ORN_CODE_NAME(DLL_VERSION_NOT_FOUND),
    ORN_CODE_NAME(UNABLE_TO_CREATE_SOCK),
    ORN_CODE_NAME(ORN_SOCKET_ERROR),
    ORN_CODE_NAME(PACKET_TOO_BIG),
    ORN_CODE_NAME(ORN_SENDING_ERROR),
    ORN_CODE_NAME(ORN_RECIEVING_ERROR),
    ORN_CODE_NAME(ORN_CONNECTION_CLOSED),
    ORN_CODE_NAME(ORN_UNECCESARY_EVENT_SET),
    ORN_CODE_NAME(ORN_CONNECT_TIMED_OUT),
    ORN_CODE_NAME(ORN_SEARCH_CANCELLED),
    ORN_CODE_NAME(ORN_WAIT_CANCELLED),
    ORN_CODE_NAME(ORN_TLS_ERROR),
    ORN_CODE_NAME(ORN_TLS_NOT_TRUSTED),
    ORN_CODE_NAME(ORN_CONTROL_NOT_FOUND),
    ORN_CODE_NAME(ORN_BER_ENCODE_ERROR),
    ORN_CODE_NAME(ORN_BER_DECODE_ERROR),
    ORN_CODE_NAME(ORN_FUNC_PARAM_ERROR),
    ORN_CODE_NAME(ORN_INVALID_MSGID),
    ORN_CODE_NAME(ORN_NOT_INITIALISED),
    ORN_CODE_NAME(ORN_UNKNOWN_AUTHENTICATION),
    ORN_CODE_NAME(ORN_AUTH_NOT_SUPPORTED),
    ORN_CODE_NAME(ORN_SERVER_NOTIFICATION),
    ORN_CODE_NAME(ORN_NOT_BOUND),
};
#undef ORN_CODE_NAME

// The blanks inside some texts are part of them: callers show them as they are.
constexpr CodeText kResultCodes[] = {
    { 1, "Error in performing the specified operation" },
    { 2, "Protocol Error" },
    { 3, "Time Limit Exceeded" },
    { 4, "Size Limit Exceeded" },
    { 5, "Compare False" },
    { 6, "Compare True" },
    { 7, "Authentication Method Not Supported" },
    { 8, "Strong Authentication Required" },
    { 9, "partial results" },
    { 10, " Referral Error " },
    { 11, "Admin Limit Exceeded " },
    { 12, " Unavailable Critical Exception" },
    { 13, " Confidentiality Required" },
    { 14, " SASL Bind In Progress" },
    { 16, " No Such Attribute" },
    { 17, " Undefined Attribute Types" },
    { 18, "Inappropriate matching" },
    { 19, " Constraint Violation" },
    { 20, "Attribute or values already exists" },
    { 21, "Invalid Attribute Syntax" },
    { 32, "No Such Objects" },
    { 33, " Alias Problem" },
    { 34, " Invalid DN Syntax" },
    { 35, " Is leaf" },
    { 36, "Alias Dereferencing Problem" },
    { 48, " Inappropriate Authentication" },
    { 49, " Invalid Credentials  " },
    { 50, " Insufficient access rights " },
    { 51, " Busy" },
    { 52, " Unavailable" },
    { 53, "Unwilling to perform the operation" },
    { 54, "Loop Is Detected" },
    { 64, " Naming Violation" },
    { 65, " Object Class Violation" },
    { 66, " Not allowed On NonLeaf" },
    { 67, "Not allowed On RDN" },
    { 68, " Entry Already Exists" },
    { 69, " Object Class Modification Prohibited" },
    { 70, "Result too Large" },
    { 71, " Affect Multiple DSA's" },
    { 80, " Other Error" },
    { 81, " Server Is Down" },
    { 82, " Local error" },
    { 83, " encoding Error" },
    { 84, " Decoding Error" },
    { 85, "TimeOut Ocuured" },
    { 86, "Unknown Authentication" },
    { 87, " Filter Error" },
    { 88, "User Error" },
    { 89, " Parameter Error" },
    { 90, " No Memory Available" },
    { 91, "Connection Error" },
    { 92, " Not Supported" },
    { 93, " Control Not Found" },
    { 94, " No Results Returned" },
    { 95, " More Results to return" },
    { 96, "Client Loop" },
    { 97, " Referral Limit Exceeded" },
};

const char* find(const CodeText* first, const CodeText* last, int32_t code, const char* otherwise)
{
    for (; first != last; ++first) {
        if (first->code == code)
            return first->text;
    }
    return otherwise;
}

} // namespace

int32_t OrnLdapService::ErrorToString(int32_t code, const char** text)
{
    if (!initialised_) {
        ornTracef("OrnInterface:ErrorToString: Initialise error=%d\n", ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    if (!text)
        return ORN_FUNC_PARAM_ERROR;
    *text = find(std::begin(kLibraryCodes), std::end(kLibraryCodes), code, "ORN_ERROR_CODE_NOT_DEFINED");
    return 0;
}

const char* OrnLdapService::LdapErrorToString(int32_t code)
{
    return find(std::begin(kResultCodes), std::end(kResultCodes), code, " Error not defined in RFC");
}
