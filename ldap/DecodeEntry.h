// Internal to module io: reading a search result entry straight into its
// records, and the bound that keeps every read inside one element.
#pragma once

#include "ldap/Ber.h"
#include "ldap/OrnResult.h"

// Narrows the readable end of ber to one element's end while it lives, so
// no read inside can run past the element, however its lengths lie.
class ElementLimit {
public:
    ElementLimit(BerBuffer* ber, uint8_t* end) : ber_(ber), saved_(ber->end) { ber->end = end; }
    ~ElementLimit() { ber_->end = saved_; }
    ElementLimit(const ElementLimit&) = delete;
    ElementLimit& operator=(const ElementLimit&) = delete;

private:
    BerBuffer* ber_;
    uint8_t* saved_;
};

enum class EntryRead { Read, Unreadable, NoMemory };

// Reads the SearchResultEntry at ber's position into one allocation holding
// the entry, its records and their text. Read: *entry is the new record, or
// null for an empty DN without attributes. Unreadable (no DN) and NoMemory
// leave *entry untouched and nothing allocated.
EntryRead ornReadEntry(BerCodec& codec, BerBuffer* ber, EntryRecord** entry);
