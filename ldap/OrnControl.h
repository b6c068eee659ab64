// Request and response controls (RFC 4511 4.1.11) and the simple paged
// results control (RFC 2696).
//
// A control array is null-terminated. Arrays the library hands out (the
// controls of a search done, OrnCreatePageControl's control) and everything
// in them come from the library allocator: release them with
// OrnFreeControls or OrnFreeControl. Arrays a caller builds for a request
// are only read.
#pragma once

#include "ldap/Ber.h"

#include <cstdint>

struct OrnControl {
    char* oid;      // zero-terminated
    BerValue value; // bytes null: the control has no value
    int32_t critical;
};

inline constexpr const char* ORN_CONTROL_PAGEDRESULTS = "1.2.840.113556.1.4.319";

void OrnFreeControl(OrnControl* control);
void OrnFreeControls(OrnControl** controls);

// The paged results control asking for page_size entries after the cookie
// (null or empty for the first page). A page size of 0 with the cookie
// tells the server to drop the rest of the result set.
// 0, INVALID_INPUT for a negative size, MALLOC_ERROR or ORN_BER_ENCODE_ERROR.
int32_t OrnCreatePageControl(int32_t page_size, const BerValue* cookie, int32_t critical, OrnControl** out);

// Reads the server's paged results control among the controls: its
// estimate of the whole result set (0 when it does not know) and the cookie
// for the next page (empty after the last one; ber_bvfree it). 0;
// ORN_CONTROL_NOT_FOUND when the controls hold none; ORN_BER_DECODE_ERROR
// for a value that is not a page response; MALLOC_ERROR. On failure the
// out parameters are left as they were.
int32_t OrnParsePageControl(OrnControl** controls, int32_t* estimate, BerValue** cookie);

// Internal to the request and response modules.
// Writes [0] Controls for a non-empty array; nothing for null or empty.
// 0 or -1.
int32_t ornPutControls(BerCodec& codec, BerBuffer* ber, OrnControl** controls);
// Reads [0] Controls at ber's position, up to ber's end, into a new array.
// 0 with *out null when there are none or they cannot be read whole;
// MALLOC_ERROR, with nothing allocated.
int32_t ornReadControls(BerCodec& codec, BerBuffer* ber, OrnControl*** out);
