// Response matching: OrnLdapResult takes the received messages off the
// queue, hands search entries out as a chain and keeps the result codes of
// responses that arrive while another response is awaited.
//
// A caller blocks on the read event only when the queue is empty: the event
// resets itself when a waiter wakes, so a message queued before the wait
// began would otherwise go unnoticed until the next one.
#include "OrnInterface.h"

#include "OrnAlloc.h"
#include "OrnCodes.h"
#include "OrnState.h"
#include "OrnTrace.h"
#include "io.h"

namespace {

constexpr int32_t kSearchDone = 0x65;
// takeMessage: a message Decode could not place (a search reference, an
// extended response); the caller goes on with the next one.
constexpr int32_t kDropped = 1;

bool isNonSearchResponse(const DecodedMessage& message)
{
    return !message.entry && message.op_tag != kSearchDone;
}

} // namespace

int32_t OrnLdapService::OrnLdapResult(int32_t msgid, EntryRecord** result)
{
    ornTrace("OrnInterface:OrnLdapResult: Function Start:\n");
    if (IsRecvThreadExited())
        return RECV_THREAD_TERMINATED;
    if (!initialised_) {
        ornTracef("OrnInterface:OrnLdapResult: Initialise error=%d\n", ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    if (result)
        *result = nullptr;
    // A new chain starts here; the remembered tail belongs to an older one.
    lastAppended_ = nullptr;
    appendHead_ = nullptr;
    if (msgid != 0 && msgid == ValidSearchMsgId)
        return searchWait(result);
    return nonSearchWait(msgid, result);
}

// Takes the front message and decodes it: 0, kDropped, or a library code.
int32_t OrnLdapService::takeMessage(DecodedMessage* message, bool searching)
{
    RecvPacket* packet = nullptr;
    if (SockRecvQueue.OrnDeque(&packet) != 0) {
        ornTracef(searching ? "OrnInterface:OrnLdapResult: Recv Thread Terminated error=%d\n"
                            : "OrnInterface:OrnLdapResult: Recv Thread Terminated error %d\n",
                  RECV_THREAD_TERMINATED);
        return RECV_THREAD_TERMINATED;
    }
    // op_tag 0 marks a message Decode did not recognise. A response whose
    // result code cannot be read must not pass for a success.
    *message = { .msgid = 0, .entry = nullptr, .search_done = 0, .op_tag = 0, .result_code = ORN_BER_DECODE_ERROR };
    const int32_t decoded = Decode(packet->data, packet->size, static_cast<uint8_t>(berOptions_), message);
    ornFree(packet->data);
    ornFree(packet);
    if (decoded != 0) {
        ornTracef(searching ? "OrnInterface:OrnLdapResult: BER Decode error=%d\n"
                            : "OrnInterface:OrnLdapResult: BER Decode error %d\n",
                  decoded);
        return decoded;
    }
    if (message->op_tag == 0)
        return kDropped;
    if (message->msgid == 0) {
        ornTracef("OrnInterface:OrnLdapResult: Server notification error=%d\n", ORN_SERVER_NOTIFICATION);
        FreeEntryChain(message->entry);
        return ORN_SERVER_NOTIFICATION;
    }
    return 0;
}

// Chains a search entry, or a new end-of-search node for search done, at
// result; without a result place the node is released.
int32_t OrnLdapService::appendSearchMessage(DecodedMessage* message, EntryRecord** result)
{
    EntryRecord* node = message->entry;
    if (node) {
        ornTrace("OrnInterface:OrnLdapResult: Adding search result to list of entries\n");
        node->end_of_search = message->search_done;
    } else {
        ornTrace("OrnInterface:OrnLdapResult: Adding end-of-search node to list of entries\n");
        node = static_cast<EntryRecord*>(ornCalloc(1, sizeof(EntryRecord)));
        if (!node) {
            ornTracef("OrnInterface:OrnLdapResult: new failed allocating resources:%d\n", MALLOC_ERROR);
            return MALLOC_ERROR;
        }
        node->end_of_search = 1;
    }
    const bool last = node->end_of_search == 1;
    if (result)
        ornAddElement(result, node);
    else
        FreeEntryChain(node);
    if (last) {
        ornTrace("OrnInterface:OrnLdapResult: Setting end-of-search\n");
        endOfSearch_ = 1;
    }
    return 0;
}

int32_t OrnLdapService::searchWait(EntryRecord** result)
{
    ornTrace("OrnInterface:OrnLdapResult: Valid search message id:\n");
    if (!result) {
        ornTracef("OrnInterface:OrnLdapResult: Result parameter NULL, Error code: %d\n", ORN_FUNC_PARAM_ERROR);
        return ORN_FUNC_PARAM_ERROR;
    }
    while (!*result) {
        if (!SockRecvQueue.OrnIsEntry()) {
            ornTrace("OrnInterface:OrnLdapResult: while search result queue is empty... :\n");
            SockReadEventObject.wait();
            continue;
        }
        // Everything queued by now goes out in this batch.
        while (SockRecvQueue.OrnIsEntry()) {
            ornTrace("OrnInterface:OrnLdapResult: While SockRecvQueue has entries... :\n");
            DecodedMessage message;
            const int32_t taken = takeMessage(&message, true);
            if (taken == kDropped)
                continue;
            if (taken != 0)
                return taken;
            if (isNonSearchResponse(message)) {
                ornTrace("OrnInterface:OrnLdapResult: Processing Non-search response\n");
                if (IsRecvThreadExited()) {
                    ornTracef("OrnInterface:OrnLdapResult: Sock receive thread terminated:%d\n",
                              RECV_THREAD_TERMINATED);
                    return RECV_THREAD_TERMINATED;
                }
                if (SavedRequest* saved = savedRequests_.OrnIsEntry(message.msgid)) {
                    ornTrace("OrnInterface:OrnLdapResult: saving non-search response\n");
                    saved->op_tag = message.op_tag;
                    saved->result_code = message.result_code;
                } else {
                    ornTrace("OrnInterface:OrnLdapResult: Abandoned message id; dumping the packet:\n");
                }
                continue;
            }
            ornTrace("OrnInterface:OrnLdapResult: Processing search result\n");
            if (int32_t appended = appendSearchMessage(&message, result); appended != 0)
                return appended;
        }
        ornTrace("OrnInterface:OrnLdapResult: SockRecvQueue is empty now\n");
    }
    ornTrace("OrnInterface:OrnLdapResult: Function End\n");
    if (endOfSearch_)
        ValidSearchMsgId = 0;
    return 0;
}

int32_t OrnLdapService::nonSearchWait(int32_t msgid, EntryRecord** result)
{
    ornTrace("OrnInterface:OrnLdapResult: Check if valid non-search id:\n");
    ornTrace("OrnList:OrnIsEntry: Function End:\n");
    if (IsRecvThreadExited()) {
        ornTracef("OrnInterface:OrnLdapResult: Sock receive thread terminated: error=%d\n", RECV_THREAD_TERMINATED);
        forgetAll();
        return RECV_THREAD_TERMINATED;
    }
    SavedRequest* awaited = savedRequests_.OrnIsEntry(msgid);
    if (!awaited) {
        ornTracef("OrnInterface:OrnLdapResult: Invalid message id: error=%d\n", ORN_INVALID_MSGID);
        return ORN_INVALID_MSGID;
    }
    if (awaited->result_code != 200) {
        ornTrace("OrnInterface:OrnLdapResult: Returning the non-search response already received\n");
        const int32_t code = awaited->result_code;
        forget(msgid);
        return code;
    }
    for (;;) {
        ornTrace("OrnInterface:OrnLdapResult: Check the SockRecvQueue for non-search response\n");
        if (!SockRecvQueue.OrnIsEntry())
            SockReadEventObject.wait();
        while (SockRecvQueue.OrnIsEntry()) {
            ornTrace("OrnInterface:OrnLdapResult: while entries in SockRecvQueue... :\n");
            DecodedMessage message;
            const int32_t taken = takeMessage(&message, false);
            if (taken == kDropped)
                continue;
            if (taken == RECV_THREAD_TERMINATED)
                forgetAll();
            else if (taken != 0)
                forget(msgid);
            if (taken != 0)
                return taken;

            if (!isNonSearchResponse(message)) {
                ornTrace("OrnInterface:OrnLdapResult: Processing search result while awaiting "
                         "\t\t\t\t\t\tsearch result\n");
                if (message.msgid != ValidSearchMsgId) {
                    FreeEntryChain(message.entry);
                    continue;
                }
                if (int32_t appended = appendSearchMessage(&message, result); appended != 0)
                    return appended;
                continue;
            }
            ornTrace("OrnInterface:OrnLdapResult: Process non-search result\n");
            if (IsRecvThreadExited()) {
                ornTracef("OrnInterface:OrnLdapResult: Sock receive thread terminated: error=%d\n",
                          RECV_THREAD_TERMINATED);
                forget(msgid);
                return RECV_THREAD_TERMINATED;
            }
            if (message.msgid == msgid) {
                ornTrace("OrnInterface:OrnLdapResult: Returning the response\n");
                forget(msgid);
                return message.result_code;
            }
            ornTrace("OrnInterface:OrnLdapResult: Not the required response... enque\n");
            if (IsRecvThreadExited()) {
                ornTracef("OrnInterface:OrnLdapResult: Sock receive thread terminated:error=%d\n",
                          RECV_THREAD_TERMINATED);
                forget(msgid);
                return RECV_THREAD_TERMINATED;
            }
            if (SavedRequest* saved = savedRequests_.OrnIsEntry(message.msgid)) {
                saved->op_tag = message.op_tag;
                saved->result_code = message.result_code;
            } else {
                ornTrace("OrnInterface:OrnLdapResult: Invalid message id\n");
            }
        }
    }
}
