// Response decoding: one received LDAPMessage into a DecodedMessage.
#pragma once

#include "ldap/Ber.h"
#include "ldap/OrnControl.h"
#include "ldap/OrnResult.h"

#include <cstdint>

// Decode writes every field at once, or none: a recognised response gets
// msgid, op_tag (0x65 with search_done 1 for search done) and its result
// code, a search done also the controls it carries; a search entry gets
// msgid, op_tag 0x64 and its entry.
struct DecodedMessage {
    int32_t msgid;
    EntryRecord* entry; // a search entry's new record, owned by the caller from then on
    int32_t search_done;
    int32_t op_tag;
    int32_t result_code;
    OrnControl** controls; // a search done's controls or null, owned by the caller (OrnFreeControls)
};

// Decodes one complete message: 0, with out written for a recognised
// response or entry and untouched for anything else (a reference, an
// extended response, an unreadable entry); INVALID_INPUT for no bytes,
// ORN_BER_DECODE_ERROR for no complete message, MALLOC_ERROR when an entry
// cannot be built (nothing of it is left allocated). A response whose
// result code cannot be read carries ORN_BER_DECODE_ERROR as its result.
int32_t Decode(const uint8_t* bytes, uint32_t count, uint8_t options, DecodedMessage* out);

// Readers over a search entry message positioned after its message id; types
// of any length are read. ldap_next_attribute cannot tell where the attribute
// list ends, so a message with controls gives it one more "attribute".
// Strings and arrays they return are the caller's (ornFree, ber_bvecfree).
char* ldap_get_dn(BerBuffer* ber);
char* ldap_first_attribute(BerBuffer* ber);
char* ldap_next_attribute(BerBuffer* ber);
BerValue** ldap_get_values_len(BerBuffer* ber, const char* type);

// Every record of a chain comes from the library allocator, so a node made
// elsewhere (the end-of-search node) is made with ornCalloc too.
// FreeEntryChain takes decoded entries (one block each) and entries built
// record by record alike. FreeAttrChain and FreeValueChain are only for
// chains built record by record: a decoded entry's chains are part of its
// block and go with the entry.
EntryRecord* NewEntryRecord();
int32_t FreeEntryChain(EntryRecord* first);
void FreeAttrChain(AttrRecord* first);
void FreeValueChain(ValueRecord* first);
