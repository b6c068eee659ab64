// OrnLdapService: securing the connection before the receive thread starts,
// with TLS from the first octet or after StartTLS.
#include "ldap/OrnInterface.h"

#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"
#include "ldap/StartTls.h"

int32_t OrnLdapService::OrnSetSecurity(int32_t mode)
{
    if (mode != ORN_SECURITY_PLAIN && mode != ORN_SECURITY_LDAPS && mode != ORN_SECURITY_STARTTLS)
        return ORN_FUNC_PARAM_ERROR;
    security_ = mode;
    return 0;
}

int32_t OrnLdapService::OrnTrustPeer()
{
    if (!initialised_)
        return ORN_NOT_INITIALISED;
    socket_.trustPeer();
    return 0;
}

int32_t OrnLdapService::secureConnection()
{
    startTlsAnswer_.clear();
    if (security_ == ORN_SECURITY_STARTTLS)
        if (int32_t refused = askStartTls(); refused != 0)
            return refused;
    return socket_.OrnStartTls(host_, connectTimeoutMs_);
}

// The request and its answer in the clear, on this thread: the receive
// thread must not take the server's first handshake octets for a message.
int32_t OrnLdapService::askStartTls()
{
    BerCodec codec;
    BerBuffer* ber = nullptr;
    const int32_t msgid = ++lastMsgId_;
    if (int32_t failed = OrnStartTls(msgid, static_cast<uint8_t>(berOptions_), &ber); failed != 0)
        return failed;
    const bool sent = socket_.OrnSendData(ber->len, ber->fill) != 0;
    codec.ber_free(ber, 1);
    if (!sent)
        return ErrorNo.load() == ORN_WAIT_CANCELLED ? ORN_WAIT_CANCELLED : ORN_SENDING_ERROR;
    uint8_t* answer = nullptr;
    uint32_t size = 0;
    if (int32_t failed = socket_.OrnRecvMessage(&answer, &size, connectTimeoutMs_); failed != 0)
        return failed == ORN_CONNECT_TIMED_OUT || failed == ORN_WAIT_CANCELLED ? failed : ORN_TLS_ERROR;
    int32_t code = 0;
    const int32_t decoded = OrnStartTlsAnswer(answer, size, msgid, &code, &startTlsAnswer_);
    ornFree(answer);
    if (decoded != 0)
        return ORN_TLS_ERROR;
    ornTracef("OrnInterface:OrnStartTls: the server answered %d\n", code);
    return code;
}
