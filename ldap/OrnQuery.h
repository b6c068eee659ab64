// Search and compare requests, the search filter compiler, and the
// accessors that walk a search result.
#pragma once

#include "ldap/Ber.h"
#include "ldap/OrnControl.h"
#include "ldap/OrnResult.h"

#include <cstdint>

// Search and compare return 0 with *out null when the request could not be
// encoded (the caller reports ORN_BER_ENCODE_ERROR), or RECV_THREAD_TERMINATED.
int32_t OrnSearch(const char* base, const char* filter, char** attrs, int32_t types_only, int32_t scope,
                  int32_t size_limit, int32_t time_limit, int32_t deref, uint8_t options, BerBuffer** out,
                  int32_t msgid);
// The same, with the request controls (null or empty: none, and the bytes
// of OrnSearch).
int32_t OrnSearchExt(const char* base, const char* filter, char** attrs, int32_t types_only, int32_t scope,
                     int32_t size_limit, int32_t time_limit, int32_t deref, OrnControl** controls, uint8_t options,
                     BerBuffer** out, int32_t msgid);
int32_t OrnCompare(const char* dn, const char* type, const char* value, uint8_t options, BerBuffer** out,
                   int32_t msgid);

// Writes one Filter for the filter text into ber; 0, or -1 for a malformed
// or too deeply nested filter. The text is left unchanged.
int32_t put_filter(BerCodec& codec, BerBuffer* ber, const char* filter);

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
int32_t OrnFreeResult(EntryRecord* result);
int32_t OrnFreeValues(ValueRecord* values);
int32_t OrnFreeDn(char* dn);
int32_t OrnGetSchema(EntryRecord* result);
