// The parsed server schema: one record per objectclasses or attributetypes
// value of the subschema entry, and the two lists that hold them for the
// whole session.
//
// The parser is deliberately literal: it finds its keywords by plain,
// case-sensitive text search from the start of the value (even inside
// another word) and reads fixed positions after them. Dialogs and stored
// lookups depend on the exact texts it yields, quirks included; the rules
// are documented next to each field in SchemaModel.cpp.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

struct ObjectClassRecord {
    std::string definition; // the whole value as received
    std::string name;       // a multi-name NAME ( 'a' 'b' ) keeps its raw text
    std::string description;
    std::string superiors; // SUP names joined by "$"
    std::string mandatory; // MUST names joined by "$"
    std::string optional;  // MAY names joined by "$"
    std::string oid;
};

struct AttributeTypeRecord {
    std::string definition;
    std::string name;
    std::string description;
    std::string oid;
    std::string syntax; // a quoted syntax is the OID alone; an unquoted one runs on
};

ObjectClassRecord ParseObjectClass(std::string_view definition);
AttributeTypeRecord ParseAttributeType(std::string_view definition);

// Newest record first. Lookup by name walks from the newest and returns the
// first whose name equals the text, ignoring case. Records stay at one
// address until the list is cleared.
template <class Record, Record (*Parse)(std::string_view)> class SchemaList {
public:
    // Parses the value, puts the record first and returns its name.
    const std::string& add(std::string_view definition)
    {
        records_.push_front(Parse(definition));
        return records_.front().name;
    }
    const Record* find(std::string_view name) const;
    void clear() { records_.clear(); }
    std::size_t count() const { return records_.size(); }
    bool empty() const { return records_.empty(); }

    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }

private:
    std::deque<Record> records_;
};

using ObjectClassList = SchemaList<ObjectClassRecord, ParseObjectClass>;
using AttributeTypeList = SchemaList<AttributeTypeRecord, ParseAttributeType>;

extern template class SchemaList<ObjectClassRecord, ParseObjectClass>;
extern template class SchemaList<AttributeTypeRecord, ParseAttributeType>;
