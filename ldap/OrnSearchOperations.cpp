// The searches (synchronous, asynchronous, the schema read) and the two
// requests that get no response: unbind and abandon.
#include "ldap/Abandon.h"
#include "ldap/Authent.h"
#include "ldap/OrnAlloc.h"
#include "ldap/OrnCallTexts.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnInterface.h"
#include "ldap/OrnQuery.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"

#include <cstring>
#include <memory>

namespace {

const OrnSendTexts kSearchSyncSend {
    .encodeError = "OrnInterface:OrnSearchSync: Encode error %d\n",
    .noBuffer = "OrnInterface:OrnSearchSync: Encode error %d\n",
    .sendError = "OrnInterface:OrnSearchSync: Socket send error %d\n",
    .freeing = "OrnInterface:OrnSearchSync: Freeing memory allocated to BER\n",
};

const OrnSendTexts kSearchSend {
    .encodeError = "OrnInterface:OrnSearch: OrnQuery error %d\n",
    .noBuffer = "OrnInterface:OrnSearch: Encode error\n",
    .sendError = "OrnInterface:OrnSearch: Socket send error %d\n",
    .freeing = "OrnInterface:OrnSearch: Freeing memory allocated to BER\n",
};

const OrnSendTexts kUnbindSend {
    .encodeError = "OrnInterface:OrnUnbindSync: Encode error=%d\n",
    .noBuffer = "OrnInterface:OrnUnbindSync: Encode error=%d\n",
    .sendError = "OrnInterface:OrnUnbindSync: Socket send error=%d\n",
    .freeing = "OrnInterface:OrnUnbindSync: Freeing memory alloc'd to BER\n",
};

const OrnSendTexts kAbandonSend {
    .encodeError = "OrnInterface:OrnAbandon: Sock receive thread terminated: error=%d\n",
    .noBuffer = "OrnInterface:OrnAbandon: Encode error=%d\n",
    .sendError = "OrnInterface:OrnAbandon: Socket send error\n",
    .freeing = "OrnInterface:OrnAbandon: Freeing memory alloc'd to BER\n",
};

struct FreeText {
    void operator()(char* text) const { ornFree(text); }
};

} // namespace

int32_t OrnLdapService::OrnSearchSync(const char* base, const char* filter, char** attrs, int32_t types_only,
                                      int32_t scope, EntryRecord** result)
{
    return searchSync(base, filter, attrs, types_only, scope, nullptr, result);
}

int32_t OrnLdapService::OrnSearchSyncExt(const char* base, const char* filter, char** attrs, int32_t types_only,
    int32_t scope, OrnControl** server_controls, EntryRecord** result, OrnControl*** response_controls)
{
    if (response_controls)
        *response_controls = nullptr;
    const int32_t found = searchSync(base, filter, attrs, types_only, scope, server_controls, result);
    // Once the search done has come, whatever its code, its controls are the caller's.
    if (found >= 0 && endOfSearch_ && response_controls) {
        *response_controls = searchControls_;
        searchControls_ = nullptr;
    }
    return found;
}

int32_t OrnLdapService::searchSync(const char* base, const char* filter, char** attrs, int32_t types_only,
    int32_t scope, OrnControl** controls, EntryRecord** result)
{
    ornTrace("OrnInterface:OrnSearchSync: Function Start\n");
    if (!initialised_) {
        ornTracef("OrnInterface:OrnSearchSync: Initialise error %d\n", ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    if (!result) {
        ornTracef("OrnInterface:OrnSearchSync: Function parameter error %d\n", ORN_FUNC_PARAM_ERROR);
        return ORN_FUNC_PARAM_ERROR;
    }
    if (!filter) {
        ornTracef("OrnInterface:OrnSearchSync: Filter Parameter NULL%d\n", ORN_FUNC_PARAM_ERROR);
        return ORN_FUNC_PARAM_ERROR;
    }
    const std::unique_ptr<char, FreeText> filterCopy(ornStrndup(filter, std::strlen(filter)));
    if (!filterCopy) {
        ornTracef("OrnInterface:OrnSearchSync: Malloc Error NULL%d\n", MALLOC_ERROR);
        return MALLOC_ERROR;
    }
    *result = nullptr;
    dropSearch();
    const int32_t msgid = ++lastMsgId_;
    endOfSearch_ = 0;
    const int32_t sent = sendRequest(
        msgid,
        [&](int32_t id, BerBuffer** out) {
            return ::OrnSearchExt(base, filterCopy.get(), attrs, types_only, scope, sizeLimit_, timeLimit_,
                derefAliases_, controls, static_cast<uint8_t>(berOptions_), out, id);
        },
        kSearchSyncSend);
    if (sent != 0)
        return sent;
    ornTrace("OrnInterface:OrnSearchSync: Set ValidSearchMsgId = \n");
    ValidSearchMsgId = msgid;

    // Each batch is joined behind the last record of the one before, without a walk.
    EntryRecord* last = nullptr;
    for (;;) {
        ornTrace("OrnInterface:OrnSearchSync: Providing synchronous service = \n");
        EntryRecord* batch = nullptr;
        const int32_t collected = OrnLdapResult(msgid, &batch);
        if (collected < 0) {
            ornTracef("OrnInterface:OrnSearchSync: Error appending results: error=%d\n", collected);
            ::OrnFreeResult(*result);
            *result = nullptr;
            dropSearch();
            return collected;
        }
        if (last)
            last->next = batch;
        else
            *result = batch;
        last = lastAppended_;
        if (endOfSearch_) {
            ornTrace("OrnInterface:OrnSearchSync: Got end-of-search\n");
            ornTrace("OrnInterface:OrnSearchSync: Function End = \n");
            return collected;
        }
    }
}

int32_t OrnLdapService::OrnSearch(const char* base, const char* filter, char** attrs, int32_t types_only,
                                  int32_t scope)
{
    ornTrace("OrnInterface:OrnSearch: Function Start\n");
    if (!initialised_) {
        ornTracef("OrnInterface:OrnSearch: Initialise error %d\n", ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    dropSearch();
    const int32_t msgid = ++lastMsgId_;
    endOfSearch_ = 0;
    const int32_t sent = sendRequest(
        msgid,
        [&](int32_t id, BerBuffer** out) {
            return ::OrnSearch(base, filter, attrs, types_only, scope, sizeLimit_, timeLimit_, derefAliases_,
                               static_cast<uint8_t>(berOptions_), out, id);
        },
        kSearchSend);
    if (sent != 0)
        return sent;
    ornTrace("OrnInterface:OrnSearch: Set ValidSearchMsgId = \n");
    ValidSearchMsgId = msgid;
    ornTrace("OrnInterface:OrnSearch: Function End\n");
    return msgid;
}

int32_t OrnLdapService::OrnReadSchema(EntryRecord** result)
{
    if (!initialised_)
        return ORN_NOT_INITIALISED;
    sizeLimit_ = 0;
    // A search refused before it starts leaves the place as it was.
    if (result)
        *result = nullptr;
    // Schema attributes are operational (RFC 4512): servers such as 389
    // return them only when they are named.
    static const char* const kSchemaAttributes[] = { "objectClasses", "attributeTypes", "matchingRules",
        "matchingRuleUse", "ldapSyntaxes", "dITContentRules", "dITStructureRules", "nameForms", nullptr };
    return OrnSearchSync("cn=Schema", "objectclass=subschema", const_cast<char**>(kSchemaAttributes), 0, 0, result);
}

int32_t OrnLdapService::OrnUnbindSync()
{
    ornTrace("OrnInterface:OrnUnbindSync: Function Start\n");
    if (IsRecvThreadExited())
        return RECV_THREAD_TERMINATED;
    if (!initialised_) {
        ornTracef("OrnInterface:OrnUnbindSync: Initialise error=%d\n", ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    if (!bound_) {
        ornTracef("OrnInterface:OrnUnbindSync: Bind error=%d\n", ORN_NOT_BOUND);
        return ORN_NOT_BOUND;
    }
    Authent authent(ldapVersion_);
    const int32_t sent = sendRequest(
        ++lastMsgId_,
        [&](int32_t id, BerBuffer** out) { return authent.OrnUnbind(static_cast<uint8_t>(berOptions_), out, id); },
        kUnbindSend);
    if (sent != 0)
        return sent;
    bound_ = 0;
    return 0;
}

int32_t OrnLdapService::OrnAbandon(int32_t msgid)
{
    ornTrace("OrnInterface:OrnAbandon: Function Start\n");
    if (IsRecvThreadExited())
        return RECV_THREAD_TERMINATED;
    if (!initialised_) {
        ornTracef("OrnInterface:OrnAbandon: Initialise error=%d\n", ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    // Whatever still comes for the id is dropped: search entries by the
    // waits, a result code for want of a saved request.
    if (msgid != 0 && msgid == ValidSearchMsgId) {
        dropSearch();
    } else if (savedRequests_.OrnIsEntry(msgid)) {
        forget(msgid);
    } else {
        ornTrace("OrnInterface:OrnAbandon: Invalid message id\n");
        return ORN_INVALID_MSGID;
    }
    const int32_t sent = sendRequest(
        ++lastMsgId_,
        [&](int32_t id, BerBuffer** out) { return ornAbandon(static_cast<uint8_t>(berOptions_), out, id, msgid); },
        kAbandonSend);
    if (sent != 0)
        return sent;
    ornTrace("OrnInterface:OrnAbandon: Function End\n");
    return 0;
}
