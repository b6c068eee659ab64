// Bind and unbind requests.
#pragma once

#include "ldap/Ber.h"

#include <cstdint>

constexpr int32_t LDAP_AUTH_SIMPLE_30 = 0xA0;
constexpr int32_t LDAP_AUTH_KRBV41_30 = 0xA1;
constexpr int32_t LDAP_AUTH_KRBV42_30 = 0xA2;
constexpr int32_t LDAP_AUTH_SASL = 0xA3;

// Carries the LDAP version that bind requests announce.
class Authent {
public:
    explicit Authent(int32_t version = 3) : version_(version) {}

    // On success *out holds the encoded request (fill = buf, len = its size);
    // the caller sends it and releases it with ber_free. On failure *out is null.
    int32_t OrnBind(const char* dn, const char* password, int32_t method, uint8_t options, BerBuffer** out,
                    int32_t msgid);
    int32_t OrnUnbind(uint8_t options, BerBuffer** out, int32_t msgid);

private:
    int32_t version_;
};
