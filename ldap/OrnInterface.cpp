// OrnLdapService: connection life cycle, settings, the saved requests and
// the chaining of search results. Response matching is in OrnLdapResult.cpp,
// the operation calls in OrnOperations.cpp.
#include "ldap/OrnInterface.h"

#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"

#include <sys/socket.h>

#include <cerrno>
#include <functional>
#include <system_error>

OrnLdapService::OrnLdapService(const char* host, uint32_t port) : host_(nullptr), port_(0)
{
    ornTrace("OrnInterface:OrnLdapService constructor: Function Start:\n");
    if (host)
        host_ = host;
    port_ = port;
    ornTrace("OrnInterface:OrnLdapService constructor: Function End:\n");
}

OrnLdapService::~OrnLdapService()
{
    ornTrace("OrnInterface:OrnLdapService destructor: Function Start:\n");
    if (initialised_) {
        endConnection(true);
        ornTrace("OrnInterface:OrnLdapService destructor: Function End:\n");
    } else if (MallocCount.load() != 0) {
        ornTracef("LdapService Destructor:Number of Mallocs count = %d\n", MallocCount.load());
    }
}

int32_t OrnLdapService::OrnInitialise()
{
    ornTrace("OrnInterface:OrnInitialise: Entry:\n");
    // A second login without a logout would leave a running thread behind.
    if (initialised_)
        DestroyAll();
    ResetLibraryState();

    int32_t result = 0;
    if (!CloseThreadEventObject.create()) {
        ornTrace("OrnInterface:OrnInitialise: Error with CloseThreadEventObject:\n");
        result = EVENT_OBJECT_ERROR;
    }
    // The read event may still be set by the previous connection's thread.
    SockReadEventObject.reset();
    if (result == 0 && (result = socket_.OrnInitialiseSocket()) != 0)
        ornTrace("OrnInterface:OrnInitialise: Error with socket initialisation:\n");
    if (result == 0 && (result = socket_.OrnConnect(host_, port_, connectTimeoutMs_)) != 0)
        ornTrace("OrnInterface:OrnInitialise: Error with socket connect:\n");
    if (result == 0 && security_ != ORN_SECURITY_PLAIN && (result = secureConnection()) != 0)
        ornTracef("OrnInterface:OrnInitialise: Error securing the connection: %d\n", result);
    if (result == 0) {
        threadParams_ = { &CloseThreadEventObject, &SockReadEventObject, &SockRecvQueue, &socket_ };
        try {
            receiveThread_ = std::thread(&OrnSocket::OrnRecvThread, &threadParams_);
        } catch (const std::system_error& error) {
            ornTracef("OrnSocket: OrnInitialise:CreateThread: ErrCode = %d\n", error.code().value());
            result = THREAD_ERROR;
        }
    }
    if (result != 0) {
        // A socket left by a failed connect is closed now, not at the next attempt.
        if (socket_.GetSockEventObject() >= 0)
            socket_.OrnDisconnect();
        CloseThreadEventObject.close();
        initialised_ = 0;
        return result;
    }
    ornTracef("OrnSocket:OrnInitialise: : Thread created with id = %d\n",
              static_cast<int>(std::hash<std::thread::id>{}(receiveThread_.get_id())));
    ornTrace("OrnInterface:OrnInitialise: Function End:\n");
    initialised_ = 1;
    return 0;
}

int32_t OrnLdapService::DestroyAll()
{
    ornTrace("OrnInterface:DestroyAll: Function Start:\n");
    if (!initialised_)
        return ORN_NOT_INITIALISED;
    endConnection(false);

    sizeLimit_ = 0;
    timeLimit_ = 0;
    derefAliases_ = 0;
    lastMsgId_ = 0;
    bound_ = 0;
    endOfSearch_ = 0;
    initialised_ = 0;
    berOptions_ = 1;
    lastAppended_ = nullptr;
    appendHead_ = nullptr;
    threadParams_ = {};
    return 0;
}

// Unbind, end the receive thread, drop what is left, and close our side of
// the connection, so a new login never leaves the old socket open.
void OrnLdapService::endConnection(bool destructor)
{
    if (bound_) {
        OrnUnbindSync();
        bound_ = 0;
    }
    if (receiveThread_.joinable()) {
        // The thread watches the wake descriptor even in the middle of a message.
        if (!CloseThreadEventObject.signal()) {
            if (destructor) {
                ornTracef("OrnInterface:LdapService Destructor: SetEvent:ErrCode = %d\n", errno);
                ornTrace("OrnInterface:LdapService Destructor: Cannot Set Event : Killing the thread\n");
            } else {
                ornTracef("OrnInterface:DestroyAll: SetEvent:ErrCode = %d\n", errno);
                ornTrace("OrnInterface:DestroyAll: Cannot Set Event : Killing the thread\n");
            }
            // A thread cannot be killed; shutting the socket down ends its poll.
            ::shutdown(socket_.GetSockEventObject(), SHUT_RDWR);
        }
        receiveThread_.join();
    }
    SockRecvQueue.drain([](RecvPacket* packet) {
        ornFree(packet->data);
        ornFree(packet);
    });
    forgetAll();
    dropSearch();
    CloseThreadEventObject.close();
    SockReadEventObject.reset();
    if (destructor && MallocCount.load() != 0)
        ornTracef("LdapService Destructor:Number of Mallocs count = %d\n", MallocCount.load());
    if (socket_.GetSockEventObject() >= 0)
        socket_.OrnDisconnect();
}

int32_t OrnLdapService::OrnSetHostName(const char* host)
{
    ornTrace("OrnInterface:OrnSetHostName: Function Start:\n");
    host_ = host;
    ornTrace("OrnInterface:OrnSetHostName: Function End:\n");
    return 0;
}

int32_t OrnLdapService::OrnSetPortNo(uint32_t port)
{
    ornTrace("OrnInterface:OrnSetPortNo: Function Start:\n");
    port_ = port;
    ornTrace("OrnInterface:OrnSetPortNo: Function End:\n");
    return 0;
}

int32_t OrnLdapService::OrnSetConnectTimeout(int32_t milliseconds)
{
    if (milliseconds < 0)
        return INVALID_INPUT;
    connectTimeoutMs_ = milliseconds;
    return 0;
}

void OrnLdapService::OrnSetWaitHook(OrnWaitHook* hook)
{
    waitHook_ = hook;
    socket_.setWaitHook(hook);
}

int32_t OrnLdapService::OrnSetSizeLimit(int32_t limit)
{
    ornTrace("OrnInterface:OrnSetSizeLimit: Function Start:\n");
    sizeLimit_ = limit;
    ornTrace("OrnInterface:OrnSetSizeLimit: Function End:\n");
    return 0;
}

int32_t OrnLdapService::OrnSetTimeLimit(int32_t limit)
{
    ornTrace("OrnInterface:OrnSetTimeLimit: Function Start:\n");
    timeLimit_ = limit;
    ornTrace("OrnInterface:OrnSetTimeLimit: Function End:\n");
    return 0;
}

int32_t OrnLdapService::OrnSetDerefAliases(int32_t deref)
{
    ornTrace("OrnInterface:OrnSetDerefAliases: Function Start:\n");
    derefAliases_ = deref;
    ornTrace("OrnInterface:OrnSetDerefAliases: Function End:\n");
    return 0;
}

int32_t OrnLdapService::OrnSetLdapVersion(int32_t version)
{
    ornTrace("OrnInterface: \t\t\tOrnSetLdapVersion: Function Start \n");
    if (version != 2 && version != 3) {
        ornTrace("OrnInterface: \t\tOrnSetLdapVersion: Function parameter Error \n");
        return ORN_FUNC_PARAM_ERROR;
    }
    ldapVersion_ = version;
    return 0;
}

int32_t OrnLdapService::OrnGetErrorNo()
{
    if (!initialised_) {
        ornTracef("OrnInterface:OrnGetErrorNo: Initialise error=%d\n", ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    return ErrorNo.load();
}

int32_t OrnLdapService::ornSaveValidNonSearchRequest(int32_t msgid)
{
    ornTrace("OrnInterface:ornSaveValidNonSearchRequest: Function Start\n");
    auto* saved = static_cast<SavedRequest*>(ornMalloc(sizeof(SavedRequest)));
    if (!saved) {
        ornTracef("OrnInterface: ornSaveValidNonSearchRequest: Error allocating memory %d\n", MALLOC_ERROR);
        return MALLOC_ERROR;
    }
    *saved = { msgid, kAwaitingResponse, kAwaitingResponse };
    savedRequests_.OrnAdd(saved);
    ornTrace("OrnInterface: ornSaveValidNonSearchRequest: Function End\n");
    return 0;
}

void OrnLdapService::forget(int32_t msgid)
{
    ornFree(savedRequests_.remove(msgid));
}

void OrnLdapService::forgetAll()
{
    savedRequests_.removeAll([](SavedRequest* saved) { ornFree(saved); });
}

// No search is in progress any more: its late entries are dropped, and
// what was put aside for it is released.
void OrnLdapService::dropSearch()
{
    ValidSearchMsgId = 0;
    held_.release();
    OrnFreeControls(searchControls_);
    searchControls_ = nullptr;
}

// Appending to the chain appended to last starts from its remembered tail,
// so a batch of n entries costs n steps; any other chain is walked once.
int32_t OrnLdapService::ornAddElement(EntryRecord** head, EntryRecord* node)
{
    ornTrace("OrnInterface:ornAddElement: Function Start\n");
    if (!head || !node) {
        ornTrace("OrnInterface:ornAddElement: Parameter ElementPtr NULL\n");
        return 1;
    }
    if (!*head) {
        *head = node;
        appendHead_ = node;
    } else {
        EntryRecord* last = *head == appendHead_ && lastAppended_ ? lastAppended_ : *head;
        while (last->next)
            last = last->next;
        last->next = node;
        appendHead_ = *head;
    }
    node->next = nullptr;
    lastAppended_ = node;
    ornTrace("OrnInterface:ornAddElement: Function End\n");
    return 0;
}
