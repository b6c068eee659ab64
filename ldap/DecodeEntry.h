// Internal to module io: reading a search result entry straight into its
// records.
#pragma once

#include "ldap/Ber.h"
#include "ldap/OrnResult.h"

enum class EntryRead { Read, Unreadable, NoMemory };

// Reads the SearchResultEntry at ber's position into one allocation holding
// the entry, its records and their text. Read: *entry is the new record, or
// null for an empty DN without attributes. Unreadable (no DN) and NoMemory
// leave *entry untouched and nothing allocated.
EntryRead ornReadEntry(BerCodec& codec, BerBuffer* ber, EntryRecord** entry);
