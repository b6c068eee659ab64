// The search result model: a chain of entries, each with its attributes and
// their values as zero-terminated text. An entry with a DN carries it as a
// first attribute named "dn". Each entry owns its attributes, their values
// and all their text; a chain is released whole with OrnFreeResult. Decode
// builds an entry as one allocation holding all of that, so its attribute
// and value chains cannot be released on their own.
#pragma once

#include <cstddef>
#include <cstdint>

struct ValueRecord {
    int32_t kind; // always 4
    int32_t len;  // bytes of data, including the terminating zero
    char* data;   // the whole value, zero bytes inside it included
    ValueRecord* next;
};

struct AttrRecord {
    int32_t kind;     // always 4
    int32_t name_len; // bytes of name, including the terminating zero
    char* name;
    ValueRecord* values;
    AttrRecord* next;
};

struct EntryRecord {
    AttrRecord* attrs;     // null in the end-of-search node
    int32_t end_of_search; // 1 for the node that ends a completed search
    // The library's own: 1 when Decode built the entry as one block, so its
    // records go with it. It sits in what was padding, so the layout
    // callers see is unchanged.
    int32_t one_block;
    EntryRecord* next;
};

static_assert(offsetof(EntryRecord, attrs) == 0 && offsetof(EntryRecord, end_of_search) == sizeof(void*)
        && offsetof(EntryRecord, next) == 2 * sizeof(void*) && sizeof(EntryRecord) == 3 * sizeof(void*),
    "EntryRecord keeps its published layout");
