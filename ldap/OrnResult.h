// The search result model: a chain of entries, each with its attributes and
// their values as zero-terminated text. An entry with a DN carries it as a
// first attribute named "dn". Each entry owns its attributes, their values
// and all their text; a chain is released whole with OrnFreeResult. Decode
// builds an entry as one allocation holding all of that, so its attribute
// and value chains cannot be released on their own.
#pragma once

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
    EntryRecord* next;
};
