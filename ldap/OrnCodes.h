// Library result codes. Every call returns a signed 32-bit status: 0 (or a
// count or message id) for success, a positive LDAP result code for a server
// refusal, or one of the negative codes below for a library failure.
#pragma once

#include <cstdint>

enum OrnLibraryCode : int32_t {
    MALLOC_ERROR = -2,
    THREAD_ERROR = -3,
    EVENT_OBJECT_ERROR = -4,
    NON_EXISTENT_RECV_THREAD = -5,
    RECV_THREAD_TERMINATED = -6,
    INVALID_INPUT = -7,
    ORN_SYSTEM_ERROR = -8,
    ORN_NETWORK_ERROR = -9,
    SOCKET_BIND_ERROR = -101,
    SOCKET_CONNECTION_ERROR = -102,
    WINSOCK_SARTUP_ERROR = -103,
    DLL_VERSION_NOT_FOUND = -104,
    UNABLE_TO_CREATE_SOCK = -105,
    ORN_SOCKET_ERROR = -106,
    PACKET_TOO_BIG = -107,
    ORN_SENDING_ERROR = -108,
    ORN_RECIEVING_ERROR = -109,
    ORN_CONNECTION_CLOSED = -110,
    ORN_UNECCESARY_EVENT_SET = -111,
    ORN_CONNECT_TIMED_OUT = -112, // no address answered within the connect time limit
    ORN_SEARCH_CANCELLED = -113, // the wait hook ended a search's wait; the search was abandoned
    ORN_WAIT_CANCELLED = -114, // the wait hook ended a wait; the connection is closed (or was never made)
    ORN_TLS_ERROR = -115, // the TLS handshake or the StartTLS exchange failed
    ORN_TLS_NOT_TRUSTED = -116, // the server's certificate failed its checks and the caller has not trusted it
    ORN_CONTROL_NOT_FOUND = -117, // the server's response carries no control of the kind asked for
    ORN_BER_ENCODE_ERROR = -201,
    ORN_BER_DECODE_ERROR = -202,
    ORN_FUNC_PARAM_ERROR = -203,
    ORN_INVALID_MSGID = -204,
    ORN_NOT_INITIALISED = -205,
    ORN_UNKNOWN_AUTHENTICATION = -206,
    ORN_AUTH_NOT_SUPPORTED = -207,
    ORN_SERVER_NOTIFICATION = -208,
    ORN_NOT_BOUND = -209,
};
