// The StartTLS extended operation (RFC 4511 4.14, RFC 4513 3): the request
// that asks the server to begin TLS on the plain connection, and its answer.
#pragma once

#include "ldap/Ber.h"

#include <cstdint>
#include <string>

inline constexpr const char* kStartTlsOid = "1.3.6.1.4.1.1466.20037";

int32_t OrnStartTls(int32_t msgid, uint8_t options, BerBuffer** out);

// Reads the answer to request msgid from one whole message: 0 with the
// server's result code and diagnostic message, or ORN_BER_DECODE_ERROR for
// anything else. A notice of disconnection (message id 0) answers too: it
// carries why the server gave up.
int32_t OrnStartTlsAnswer(const uint8_t* bytes, uint32_t count, int32_t msgid, int32_t* resultCode,
                          std::string* message);
