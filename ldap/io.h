// Response decoding: one received LDAPMessage into a DecodedMessage.
#pragma once

#include "Ber.h"
#include "OrnResult.h"

#include <cstdint>

// Fields Decode does not write for a message keep what the caller left in them.
struct DecodedMessage {
    int32_t msgid;
    EntryRecord* entry; // a search entry's new record, owned by the caller from then on
    int32_t search_done;
    int32_t op_tag;
    int32_t result_code;
};

int32_t Decode(const uint8_t* bytes, uint32_t count, uint8_t options, DecodedMessage* out);

// Readers over a search entry message positioned after its message id.
// Strings and arrays they return are the caller's (ornFree, ber_bvecfree).
char* ldap_get_dn(BerBuffer* ber);
char* ldap_first_attribute(BerBuffer* ber);
char* ldap_next_attribute(BerBuffer* ber);
BerValue** ldap_get_values_len(BerBuffer* ber, const char* type);

EntryRecord* NewEntryRecord();
int32_t FreeEntryChain(EntryRecord* first);
void FreeAttrChain(AttrRecord* first);
void FreeValueChain(ValueRecord* first);
