// OrnLdapService: the one object through which the program talks to an LDAP
// server. It holds the connection settings, owns the transport and its
// receive thread, numbers the requests, matches every response to its
// request, and offers each operation as a synchronous call (waits for the
// response), an asynchronous one (returns the message id, collected later
// with OrnLdapResult) or a plain send.
//
// Results: 0 (or a message id) for success, a positive LDAP result code for a
// server refusal, a negative library code (OrnCodes.h) for a failure.
// Search results are chains of EntryRecords owned by the caller, released
// with OrnFreeResult. A search reports the server's result once its
// end-of-search node is handed out: 0 for success, or the server's code
// (a size limit, a missing base, a refusal) with every entry that arrived.
// A call that fails with a library code hands out nothing.
//
// Threads: one caller thread only. The receive thread touches nothing but
// the receive queue, the read event and the library state of OrnState.h.
#pragma once

#include "ldap/AttrMod.h"
#include "ldap/OrnControl.h"
#include "ldap/OrnEvent.h"
#include "ldap/OrnList.h"
#include "ldap/OrnQueue.h"
#include "ldap/OrnResult.h"
#include "ldap/OrnSocket.h"
#include "ldap/OrnWait.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

struct DecodedMessage;
struct OrnSendTexts;
struct OrnCallTexts;

// The response fields of a saved request until its response arrives; no
// LDAP result code has this value.
constexpr int32_t kAwaitingResponse = 200;

// How the connection is secured (OrnSetSecurity).
enum OrnSecurity : int32_t {
    ORN_SECURITY_PLAIN = 0,
    ORN_SECURITY_LDAPS = 1,    // TLS from the first octet
    ORN_SECURITY_STARTTLS = 2, // TLS begun by the StartTLS operation, before anything else is sent
};

// A non-search request sent and not yet collected.
struct SavedRequest {
    int32_t msgid;
    int32_t op_tag;
    int32_t result_code;
};

class OrnLdapService {
public:
    // The service keeps the host pointer, not a copy.
    explicit OrnLdapService(const char* host = nullptr, uint32_t port = 389);
    ~OrnLdapService();
    OrnLdapService(const OrnLdapService&) = delete;
    OrnLdapService& operator=(const OrnLdapService&) = delete;

    int32_t OrnInitialise();
    int32_t DestroyAll();

    int32_t OrnSetHostName(const char* host);
    int32_t OrnSetPortNo(uint32_t port);
    // How long OrnInitialise waits for the host to accept the connection:
    // 30 s unless set; INVALID_INPUT for a negative time.
    int32_t OrnSetConnectTimeout(int32_t milliseconds);
    // Asked while a call waits for the server (OrnWait.h); null for none.
    // A cancelled search is abandoned (ORN_SEARCH_CANCELLED); any other
    // cancelled wait closes the connection (ORN_WAIT_CANCELLED).
    void OrnSetWaitHook(OrnWaitHook* hook);
    int32_t OrnSetSizeLimit(int32_t limit);
    int32_t OrnSetTimeLimit(int32_t limit);
    int32_t OrnSetDerefAliases(int32_t deref);
    int32_t OrnSetLdapVersion(int32_t version);
    // Takes effect at the next OrnInitialise. On a secured connection
    // OrnInitialise also returns ORN_TLS_ERROR (the handshake failed) or,
    // for StartTLS, the server's positive result code when it refuses; the
    // connection is then closed with nothing more sent.
    int32_t OrnSetSecurity(int32_t mode);
    // After OrnInitialise on a secured connection: the server's certificate
    // and how its checks went; null on a plain one. While it is not
    // verified, requests fail with ORN_TLS_NOT_TRUSTED until OrnTrustPeer.
    const OrnTlsPeer* OrnGetTlsPeer() const { return socket_.tlsPeer(); }
    int32_t OrnTrustPeer();
    // The diagnostic message of the server's last StartTLS answer.
    const char* OrnGetStartTlsAnswer() const { return startTlsAnswer_.c_str(); }
    int32_t OrnGetSizeLimit() const { return sizeLimit_; }
    int32_t OrnGetTimeLimit() const { return timeLimit_; }
    int32_t OrnGetDerefAliases() const { return derefAliases_; }
    int32_t OrnGetLdapVersion() const { return ldapVersion_; }
    int32_t OrnGetErrorNo();

    int32_t OrnLdapResult(int32_t msgid, EntryRecord** result);
    int32_t ornAddElement(EntryRecord** head, EntryRecord* node);
    int32_t ornSaveValidNonSearchRequest(int32_t msgid);

    // Operations.
    int32_t OrnBindSync(const char* dn, const char* password, int32_t method);
    int32_t OrnUnbindSync();
    int32_t OrnSearchSync(const char* base, const char* filter, char** attrs, int32_t types_only, int32_t scope,
                          EntryRecord** result);
    // OrnSearchSync with request controls (null or empty: none) and the
    // controls of the server's search done, handed out in
    // *response_controls (null when it sent none, or when the call fails;
    // OrnFreeControls). response_controls may be null.
    int32_t OrnSearchSyncExt(const char* base, const char* filter, char** attrs, int32_t types_only, int32_t scope,
                             OrnControl** server_controls, EntryRecord** result, OrnControl*** response_controls);
    int32_t OrnSearch(const char* base, const char* filter, char** attrs, int32_t types_only, int32_t scope);
    int32_t OrnReadSchema(EntryRecord** result);
    int32_t OrnCompareSync(const char* dn, const char* type, const char* value);
    int32_t OrnCompare(const char* dn, const char* type, const char* value);
    int32_t OrnAddSync(const char* dn, AttrMod** attrs);
    int32_t OrnAdd(const char* dn, AttrMod** attrs);
    int32_t OrnModifySync(const char* dn, AttrMod** mods);
    int32_t OrnModify(const char* dn, AttrMod** mods);
    // With a new superior the entry moves below it, keeping everything it holds.
    int32_t OrnModifyRdnSync(
        const char* dn, const char* new_rdn, int32_t delete_old_rdn, const char* new_superior = nullptr);
    int32_t OrnModifyRdn(
        const char* dn, const char* new_rdn, int32_t delete_old_rdn, const char* new_superior = nullptr);
    int32_t OrnDeleteSync(const char* dn);
    int32_t OrnDelete(const char* dn);
    int32_t OrnAbandon(int32_t msgid);

    // Result access, refused while the service is not initialised.
    int32_t OrnCountEntries(EntryRecord* result);
    int32_t OrnSortEntries(EntryRecord* result, const char* attribute);
    int32_t OrnCountValues(ValueRecord* values);
    int32_t OrnFirstEntry(EntryRecord* result, EntryRecord** entry);
    int32_t OrnNextEntry(EntryRecord* previous, EntryRecord** entry);
    int32_t OrnFirstAttribute(EntryRecord* entry, AttrRecord** attr);
    int32_t OrnNextAttribute(AttrRecord* previous, AttrRecord** attr);
    int32_t OrnGetValues(EntryRecord* entry, const char* type, ValueRecord** values);
    int32_t OrnGetValues(AttrRecord* attr, ValueRecord** values);
    int32_t OrnGetDn(EntryRecord* entry, char** dn);
    static int32_t OrnFreeResult(EntryRecord* result);
    static int32_t OrnFreeValues(ValueRecord* values);
    static int32_t OrnFreeDn(char* dn);

    int32_t ErrorToString(int32_t code, const char** text);
    static const char* LdapErrorToString(int32_t code);

private:
    // The steps the operation calls share; their log lines are data (OrnOperations.cpp).
    using Encoder = std::function<int32_t(int32_t msgid, BerBuffer** out)>;
    int32_t sendRequest(int32_t msgid, const Encoder& encode, const OrnSendTexts& texts);
    int32_t sendAndSave(const OrnCallTexts& texts, const Encoder& encode);
    int32_t callSync(const OrnCallTexts& texts, const Encoder& encode);

    // Response matching (OrnLdapResult.cpp) and the connection's end (OrnInterface.cpp).
    // A chain of search results being built, appended to at its tail.
    struct Chain {
        EntryRecord* head = nullptr;
        EntryRecord* tail = nullptr;
        void append(EntryRecord* node);
        void release();
    };
    int32_t searchSync(const char* base, const char* filter, char** attrs, int32_t types_only, int32_t scope,
                       OrnControl** controls, EntryRecord** result);
    int32_t searchWait(EntryRecord** result, OrnWaiting& waiting);
    int32_t nonSearchWait(int32_t msgid, OrnWaiting& waiting);
    int32_t cancelSearch();
    int32_t closeCancelled();
    int32_t takeMessage(DecodedMessage* message, bool searching);
    void keepResponse(const DecodedMessage& message);
    int32_t chainSearchMessage(DecodedMessage* message, Chain* chain);
    void dropSearch();
    void forget(int32_t msgid);
    void forgetAll();
    void endConnection(bool destructor);
    // The TLS step of OrnInitialise (OrnSecure.cpp).
    int32_t secureConnection();
    int32_t askStartTls();

    const char* host_;
    uint32_t port_;
    int32_t connectTimeoutMs_ = OrnSocket::kDefaultConnectTimeoutMs;
    OrnWaitHook* waitHook_ = nullptr;
    int32_t sizeLimit_ = 0;
    int32_t timeLimit_ = 0;
    int32_t derefAliases_ = 0;
    int32_t lastMsgId_ = 0;
    int32_t berOptions_ = 1;
    int32_t ValidSearchMsgId = 0;
    int32_t bound_ = 0;
    int32_t endOfSearch_ = 0;
    int32_t initialised_ = 0;
    int32_t ldapVersion_ = 3;
    int32_t security_ = ORN_SECURITY_PLAIN;
    std::string startTlsAnswer_;
    OrnSocket socket_;
    RecvThreadParams threadParams_{};
    std::thread receiveThread_;
    OrnWakeDescriptor CloseThreadEventObject;
    OrnEvent SockReadEventObject;
    OrnQueue<RecvPacket> SockRecvQueue;
    OrnList<SavedRequest> savedRequests_;
    // Entries of the search in progress taken while another response was
    // awaited, and the result code of its search done.
    Chain held_;
    int32_t searchResult_ = 0;
    // The controls of the last search done, until the search's call takes them.
    OrnControl** searchControls_ = nullptr;
    EntryRecord* lastAppended_ = nullptr;
    // The head of the chain that lastAppended_ ends, so appending to it needs no walk.
    EntryRecord* appendHead_ = nullptr;
};
