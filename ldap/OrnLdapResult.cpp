// Response matching: OrnLdapResult takes the received messages off the
// queue, hands search entries out as a chain and keeps the result codes of
// responses that arrive while another response is awaited.
//
// Everything that arrived is delivered: a caller learns that the receive
// thread has ended only once the queue holds nothing more for it. A wait
// blocks on the read event only when the queue is empty: the event resets
// itself when a waiter wakes, so a message queued before the wait began
// would otherwise go unnoticed until the next one.
#include "ldap/OrnInterface.h"

#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnControl.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"
#include "ldap/OrnWait.h"
#include "ldap/io.h"

namespace {

constexpr int32_t kSearchDone = 0x65;
// takeMessage: a message Decode could not place (a search reference, an
// extended response); the caller goes on with the next one.
constexpr int32_t kDropped = 2;
static_assert(kDropped != kQueueEmpty);

bool isNonSearchResponse(const DecodedMessage& message)
{
    return !message.entry && message.op_tag != kSearchDone;
}

} // namespace

void OrnLdapService::Chain::append(EntryRecord* node)
{
    node->next = nullptr;
    if (tail)
        tail->next = node;
    else
        head = node;
    tail = node;
}

void OrnLdapService::Chain::release()
{
    FreeEntryChain(head);
    head = tail = nullptr;
}

int32_t OrnLdapService::OrnLdapResult(int32_t msgid, EntryRecord** result)
{
    ornTrace("OrnInterface:OrnLdapResult: Function Start:\n");
    if (!initialised_) {
        ornTracef("OrnInterface:OrnLdapResult: Initialise error=%d\n", ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    if (result)
        *result = nullptr;
    OrnWaiting waiting(waitHook_);
    if (msgid != 0 && msgid == ValidSearchMsgId)
        return searchWait(result, waiting);
    return nonSearchWait(msgid, waiting);
}

// Takes the front message and decodes it: 0, kDropped, kQueueEmpty while
// the receive thread may still queue more, or a library code.
int32_t OrnLdapService::takeMessage(DecodedMessage* message, bool searching)
{
    RecvPacket* packet = nullptr;
    const int32_t dequeued = SockRecvQueue.OrnDeque(&packet);
    if (dequeued == kQueueEmpty)
        return kQueueEmpty;
    if (dequeued != 0) {
        ornTracef(searching ? "OrnInterface:OrnLdapResult: Recv Thread Terminated error=%d\n"
                            : "OrnInterface:OrnLdapResult: Recv Thread Terminated error %d\n",
                  RECV_THREAD_TERMINATED);
        return RECV_THREAD_TERMINATED;
    }
    *message = {};
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
        OrnFreeControls(message->controls);
        return ORN_SERVER_NOTIFICATION;
    }
    return 0;
}

// A response for a request other than the one awaited waits in its saved
// request; one that nobody awaits any more is dropped.
void OrnLdapService::keepResponse(const DecodedMessage& message)
{
    if (SavedRequest* saved = savedRequests_.OrnIsEntry(message.msgid)) {
        ornTrace("OrnInterface:OrnLdapResult: saving non-search response\n");
        saved->op_tag = message.op_tag;
        saved->result_code = message.result_code;
    } else {
        ornTrace("OrnInterface:OrnLdapResult: Abandoned message id; dumping the packet:\n");
    }
}

// Chains a search entry, or a new end-of-search node for search done, and
// keeps the search's result code. A message of any other search is dropped.
int32_t OrnLdapService::chainSearchMessage(DecodedMessage* message, Chain* chain)
{
    if (message->msgid != ValidSearchMsgId || (chain->tail && chain->tail->end_of_search)) {
        ornTrace("OrnInterface:OrnLdapResult: Abandoned message id; dumping the packet:\n");
        FreeEntryChain(message->entry);
        OrnFreeControls(message->controls);
        return 0;
    }
    EntryRecord* node = message->entry;
    if (node) {
        ornTrace("OrnInterface:OrnLdapResult: Adding search result to list of entries\n");
        node->end_of_search = 0;
    } else {
        ornTrace("OrnInterface:OrnLdapResult: Adding end-of-search node to list of entries\n");
        node = static_cast<EntryRecord*>(ornCalloc(1, sizeof(EntryRecord)));
        if (!node) {
            ornTracef("OrnInterface:OrnLdapResult: new failed allocating resources:%d\n", MALLOC_ERROR);
            OrnFreeControls(message->controls);
            return MALLOC_ERROR;
        }
        node->end_of_search = 1;
        searchResult_ = message->result_code;
        OrnFreeControls(searchControls_);
        searchControls_ = message->controls;
    }
    chain->append(node);
    return 0;
}

int32_t OrnLdapService::searchWait(EntryRecord** result, OrnWaiting& waiting)
{
    ornTrace("OrnInterface:OrnLdapResult: Valid search message id:\n");
    if (!result) {
        ornTracef("OrnInterface:OrnLdapResult: Result parameter NULL, Error code: %d\n", ORN_FUNC_PARAM_ERROR);
        return ORN_FUNC_PARAM_ERROR;
    }
    // What another wait put aside comes first; then everything queued by now.
    Chain batch = held_;
    held_ = {};
    auto ended = [&] { return batch.tail && batch.tail->end_of_search; };
    while (!ended()) {
        DecodedMessage message;
        const int32_t taken = takeMessage(&message, true);
        if (taken == kQueueEmpty) {
            if (batch.head)
                break;
            ornTrace("OrnInterface:OrnLdapResult: while search result queue is empty... :\n");
            if (!SockReadEventObject.waitFor(waiting.sliceMs()) && !waiting.goOn()) {
                batch.release();
                return cancelSearch();
            }
            continue;
        }
        if (taken == kDropped)
            continue;
        // The entries that came before the end go out now; the next call reports it.
        if (taken == RECV_THREAD_TERMINATED && batch.head)
            break;
        if (taken != 0) {
            batch.release();
            return taken;
        }
        if (isNonSearchResponse(message)) {
            ornTrace("OrnInterface:OrnLdapResult: Processing Non-search response\n");
            keepResponse(message);
            continue;
        }
        ornTrace("OrnInterface:OrnLdapResult: Processing search result\n");
        if (int32_t chained = chainSearchMessage(&message, &batch); chained != 0) {
            batch.release();
            return chained;
        }
    }
    *result = batch.head;
    lastAppended_ = batch.tail;
    appendHead_ = batch.head;
    ornTrace("OrnInterface:OrnLdapResult: Function End\n");
    if (!ended())
        return 0;
    ornTrace("OrnInterface:OrnLdapResult: Setting end-of-search\n");
    endOfSearch_ = 1;
    ValidSearchMsgId = 0;
    return searchResult_;
}

int32_t OrnLdapService::nonSearchWait(int32_t msgid, OrnWaiting& waiting)
{
    ornTrace("OrnInterface:OrnLdapResult: Check if valid non-search id:\n");
    SavedRequest* awaited = savedRequests_.OrnIsEntry(msgid);
    if (!awaited) {
        if (IsRecvThreadExited()) {
            ornTracef("OrnInterface:OrnLdapResult: Sock receive thread terminated: error=%d\n", RECV_THREAD_TERMINATED);
            return RECV_THREAD_TERMINATED;
        }
        ornTracef("OrnInterface:OrnLdapResult: Invalid message id: error=%d\n", ORN_INVALID_MSGID);
        return ORN_INVALID_MSGID;
    }
    if (awaited->result_code != kAwaitingResponse) {
        ornTrace("OrnInterface:OrnLdapResult: Returning the non-search response already received\n");
        const int32_t code = awaited->result_code;
        forget(msgid);
        return code;
    }
    for (;;) {
        DecodedMessage message;
        const int32_t taken = takeMessage(&message, false);
        if (taken == kQueueEmpty) {
            ornTrace("OrnInterface:OrnLdapResult: Check the SockRecvQueue for non-search response\n");
            if (!SockReadEventObject.waitFor(waiting.sliceMs()) && !waiting.goOn())
                return closeCancelled();
            continue;
        }
        if (taken == kDropped)
            continue;
        // Responses already kept for other requests stay collectable.
        if (taken != 0) {
            forget(msgid);
            return taken;
        }
        if (!isNonSearchResponse(message)) {
            // The search's entries wait for its own next collection.
            ornTrace("OrnInterface:OrnLdapResult: Processing search result while awaiting "
                     "\t\t\t\t\t\tsearch result\n");
            if (int32_t chained = chainSearchMessage(&message, &held_); chained != 0) {
                forget(msgid);
                return chained;
            }
            continue;
        }
        ornTrace("OrnInterface:OrnLdapResult: Process non-search result\n");
        if (message.msgid == msgid) {
            ornTrace("OrnInterface:OrnLdapResult: Returning the response\n");
            forget(msgid);
            return message.result_code;
        }
        ornTrace("OrnInterface:OrnLdapResult: Not the required response... enque\n");
        keepResponse(message);
    }
}

// A search can be taken back: the server is told to stop, and what it still
// sends for the search is dropped.
int32_t OrnLdapService::cancelSearch()
{
    ornTrace("OrnInterface:OrnLdapResult: the wait was cancelled; abandoning the search\n");
    const int32_t abandoned = OrnAbandon(ValidSearchMsgId);
    if (abandoned == ORN_WAIT_CANCELLED)
        return abandoned;
    if (abandoned != 0)
        dropSearch();
    return ORN_SEARCH_CANCELLED;
}

// Any other request cannot be taken back, and its answer could come at any
// time: the connection is dropped without an unbind, which the server might
// not take either.
int32_t OrnLdapService::closeCancelled()
{
    ornTrace("OrnInterface:OrnLdapResult: the wait was cancelled; closing the connection\n");
    bound_ = 0;
    endConnection(false);
    return ORN_WAIT_CANCELLED;
}
