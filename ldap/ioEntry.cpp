// Building search entries and releasing the result model.
#include "ioEntry.h"

#include "OrnAlloc.h"
#include "io.h"

#include <cstring>
#include <utility>

namespace {

constexpr int32_t kTextKind = 4;

// A record made here carries its text in the same allocation, just behind
// it, which halves the allocations of a large entry. The free calls tell
// such text from text allocated apart by its address.
template <typename Record>
char* inlineText(Record* record)
{
    return reinterpret_cast<char*>(record + 1);
}

void fill(AttrRecord* attr, int32_t length, char* name)
{
    *attr = AttrRecord{kTextKind, length, name, nullptr, nullptr};
}

void fill(ValueRecord* value, int32_t length, char* data)
{
    *value = ValueRecord{kTextKind, length, data, nullptr};
}

template <typename Record>
Record* newTextRecord(const uint8_t* text, uint32_t length)
{
    if (length >= INT32_MAX) // the record's length field could not count it
        return nullptr;
    auto* record = static_cast<Record*>(ornMalloc(sizeof(Record) + length + 1));
    if (!record)
        return nullptr;
    char* copy = inlineText(record);
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    fill(record, static_cast<int32_t>(length + 1), copy);
    return record;
}

// Owns the entry while it is being read; whatever is not released is freed.
class EntryBuilder {
public:
    EntryBuilder() = default;
    ~EntryBuilder() { FreeEntryChain(entry_); }
    EntryBuilder(const EntryBuilder&) = delete;
    EntryBuilder& operator=(const EntryBuilder&) = delete;

    bool addAttribute(const uint8_t* type, uint32_t length)
    {
        if (!entry_) {
            entry_ = static_cast<EntryRecord*>(ornCalloc(1, sizeof(EntryRecord)));
            if (!entry_)
                return false;
            attrTail_ = &entry_->attrs;
        }
        AttrRecord* attr = newTextRecord<AttrRecord>(type, length);
        if (!attr)
            return false;
        *attrTail_ = attr;
        attrTail_ = &attr->next;
        current_ = attr;
        valueTail_ = &attr->values;
        return true;
    }

    bool addValue(const uint8_t* bytes, uint32_t length)
    {
        ValueRecord* value = newTextRecord<ValueRecord>(bytes, length);
        if (!value)
            return false;
        *valueTail_ = value;
        valueTail_ = &value->next;
        return true;
    }

    void dropValues()
    {
        FreeValueChain(current_->values);
        current_->values = nullptr;
        valueTail_ = &current_->values;
    }

    EntryRecord* release() { return std::exchange(entry_, nullptr); }

private:
    EntryRecord* entry_ = nullptr;
    AttrRecord** attrTail_ = nullptr;
    AttrRecord* current_ = nullptr;
    ValueRecord** valueTail_ = nullptr;
};

// vals SET OF value AttributeValue
// A set that cannot be read whole leaves the attribute without values.
bool readValues(BerCodec& codec, BerBuffer* ber, EntryBuilder& builder)
{
    uint32_t length = 0;
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return true;
    ElementLimit set(ber, ber->ptr + length);
    while (ber->ptr < ber->end) {
        if (codec.ber_skip_tag(ber, &length) == BER_ERROR) {
            builder.dropValues();
            return true;
        }
        if (!builder.addValue(ber->ptr, length))
            return false;
        ber->ptr += length;
    }
    return true;
}

} // namespace

// SearchResultEntry ::= [APPLICATION 4] SEQUENCE {
//      objectName      LDAPDN,
//      attributes      PartialAttributeList }
// PartialAttributeList ::= SEQUENCE OF partialAttribute PartialAttribute
// PartialAttribute ::= SEQUENCE {
//      type       AttributeDescription,
//      vals       SET OF value AttributeValue }
//
// Every attribute is read where it stands, so a repeated type becomes a
// record of its own with its own values. An attribute list or a type that
// cannot be read ends the attributes; nothing after the list is looked at.
EntryRead ornReadEntry(BerCodec& codec, BerBuffer* ber, EntryRecord** entry)
{
    static constexpr uint8_t kDnName[] = {'d', 'n'};
    uint32_t length = 0;
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return EntryRead::Unreadable;
    ElementLimit operation(ber, ber->ptr + length);
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return EntryRead::Unreadable;
    const uint8_t* dn = ber->ptr;
    const uint32_t dnLength = length;
    ber->ptr += length;

    EntryBuilder builder;
    if (dnLength > 0 && (!builder.addAttribute(kDnName, sizeof(kDnName)) || !builder.addValue(dn, dnLength)))
        return EntryRead::NoMemory;

    if (codec.ber_skip_tag(ber, &length) != BER_ERROR) {
        ElementLimit list(ber, ber->ptr + length);
        while (ber->ptr < ber->end) {
            if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
                break;
            uint8_t* const attributeEnd = ber->ptr + length;
            ElementLimit attribute(ber, attributeEnd);
            if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
                break;
            if (!builder.addAttribute(ber->ptr, length))
                return EntryRead::NoMemory;
            ber->ptr += length;
            if (!readValues(codec, ber, builder))
                return EntryRead::NoMemory;
            ber->ptr = attributeEnd;
        }
    }
    *entry = builder.release();
    return EntryRead::Read;
}

EntryRecord* NewEntryRecord()
{
    auto* entry = static_cast<EntryRecord*>(ornCalloc(1, sizeof(EntryRecord)));
    if (!entry)
        return nullptr;
    auto* attr = static_cast<AttrRecord*>(ornCalloc(1, sizeof(AttrRecord)));
    if (!attr) {
        ornFree(entry);
        return nullptr;
    }
    attr->kind = kTextKind;
    entry->attrs = attr;
    return entry;
}

int32_t FreeEntryChain(EntryRecord* first)
{
    while (first) {
        EntryRecord* next = first->next;
        FreeAttrChain(first->attrs);
        ornFree(first);
        first = next;
    }
    return 0;
}

void FreeAttrChain(AttrRecord* first)
{
    while (first) {
        AttrRecord* next = first->next;
        FreeValueChain(first->values);
        if (first->name != inlineText(first))
            ornFree(first->name);
        ornFree(first);
        first = next;
    }
}

void FreeValueChain(ValueRecord* first)
{
    while (first) {
        ValueRecord* next = first->next;
        if (first->data != inlineText(first))
            ornFree(first->data);
        ornFree(first);
        first = next;
    }
}
