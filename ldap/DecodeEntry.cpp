// Building search entries and releasing the result model.
#include "ldap/DecodeEntry.h"

#include "ldap/ElementLimit.h"
#include "ldap/OrnAlloc.h"
#include "ldap/io.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int32_t kTextKind = 4;

constexpr std::size_t alignUp(std::size_t offset, std::size_t alignment)
{
    return (offset + alignment - 1) / alignment * alignment;
}

// A decoded entry is one block: the entry, its attributes, their values,
// then all the text. Record offsets keep pointer alignment.
constexpr std::size_t kRecordAlign = alignof(void*);
static_assert(alignof(EntryRecord) <= kRecordAlign && alignof(AttrRecord) <= kRecordAlign &&
              alignof(ValueRecord) <= kRecordAlign);
constexpr std::size_t kAttrSize = alignUp(sizeof(AttrRecord), kRecordAlign);
constexpr std::size_t kValueSize = alignUp(sizeof(ValueRecord), kRecordAlign);
constexpr std::size_t kFirstAttr = alignUp(sizeof(EntryRecord), kRecordAlign);

// Totals of the first pass: what the block must hold.
class Measure {
public:
    void attribute(const uint8_t*, uint32_t length) { text(length, attrs_); }
    void value(const uint8_t*, uint32_t length) { text(length, values_); }
    bool empty() const { return attrs_ == 0; }
    bool fits() const { return fits_; }

    // Each record stands for at least two bytes of a message of at most
    // 4 GiB, so the total cannot overflow 64 bits; a smaller size_t can.
    bool blockSize(std::size_t* size) const
    {
        const uint64_t total = kFirstAttr + attrs_ * kAttrSize + values_ * kValueSize + text_;
        if constexpr (sizeof(std::size_t) < sizeof(uint64_t)) {
            if (total > SIZE_MAX)
                return false;
        }
        *size = std::size_t(total);
        return true;
    }

    uint64_t attrs() const { return attrs_; }
    uint64_t values() const { return values_; }

private:
    void text(uint32_t length, uint64_t& count)
    {
        if (length >= INT32_MAX) // a record's length field could not count it
            fits_ = false;
        ++count;
        text_ += uint64_t(length) + 1;
    }

    uint64_t attrs_ = 0;
    uint64_t values_ = 0;
    uint64_t text_ = 0;
    bool fits_ = true;
};

// Second pass: lays the records out in the block in reading order.
class Fill {
public:
    Fill(char* block, const Measure& measure)
        : entry_(reinterpret_cast<EntryRecord*>(block)),
          attr_(reinterpret_cast<AttrRecord*>(block + kFirstAttr)),
          value_(reinterpret_cast<ValueRecord*>(block + kFirstAttr + measure.attrs() * kAttrSize)),
          text_(block + kFirstAttr + measure.attrs() * kAttrSize + measure.values() * kValueSize)
    {
        *entry_ = EntryRecord { .attrs = nullptr, .end_of_search = 0, .one_block = 1, .next = nullptr };
        attrTail_ = &entry_->attrs;
    }

    void attribute(const uint8_t* type, uint32_t length)
    {
        AttrRecord* attr = attr_;
        attr_ = reinterpret_cast<AttrRecord*>(reinterpret_cast<char*>(attr_) + kAttrSize);
        *attr = AttrRecord{kTextKind, int32_t(length + 1), copy(type, length), nullptr, nullptr};
        *attrTail_ = attr;
        attrTail_ = &attr->next;
        valueTail_ = &attr->values;
    }

    void value(const uint8_t* bytes, uint32_t length)
    {
        ValueRecord* value = value_;
        value_ = reinterpret_cast<ValueRecord*>(reinterpret_cast<char*>(value_) + kValueSize);
        *value = ValueRecord{kTextKind, int32_t(length + 1), copy(bytes, length), nullptr};
        *valueTail_ = value;
        valueTail_ = &value->next;
    }

    EntryRecord* entry() const { return entry_; }

private:
    char* copy(const uint8_t* bytes, uint32_t length)
    {
        char* text = text_;
        std::memcpy(text, bytes, length);
        text[length] = '\0';
        text_ += length + 1;
        return text;
    }

    EntryRecord* entry_;
    AttrRecord* attr_;
    ValueRecord* value_;
    char* text_;
    AttrRecord** attrTail_ = nullptr;
    ValueRecord** valueTail_ = nullptr;
};

// vals SET OF value AttributeValue
// A set that cannot be read whole leaves the attribute without values, so
// it is read through once before any value is handed on.
template <typename Sink>
void readValues(BerCodec& codec, BerBuffer* ber, Sink& sink)
{
    uint32_t length = 0;
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return;
    ElementLimit set(ber, ber->ptr + length);
    uint8_t* const first = ber->ptr;
    while (ber->ptr < ber->end) {
        if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
            return;
        ber->ptr += length;
    }
    ber->ptr = first;
    while (ber->ptr < ber->end) {
        if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
            return;
        sink.value(ber->ptr, length);
        ber->ptr += length;
    }
}

// SearchResultEntry ::= [APPLICATION 4] SEQUENCE {
//      objectName      LDAPDN,
//      attributes      PartialAttributeList }
// PartialAttributeList ::= SEQUENCE OF partialAttribute PartialAttribute
// PartialAttribute ::= SEQUENCE {
//      type       AttributeDescription,
//      vals       SET OF value AttributeValue }
//
// Hands the sink the DN as the attribute "dn", then every attribute where
// it stands, so a repeated type becomes an attribute of its own with its
// own values. An attribute list or a type that cannot be read ends the
// attributes; nothing after the list is looked at. False: no DN.
template <typename Sink>
bool readEntry(BerCodec& codec, BerBuffer* ber, Sink& sink)
{
    static constexpr uint8_t kDnName[] = {'d', 'n'};
    uint32_t length = 0;
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return false;
    ElementLimit operation(ber, ber->ptr + length);
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return false;
    if (length > 0) {
        sink.attribute(kDnName, sizeof(kDnName));
        sink.value(ber->ptr, length);
    }
    ber->ptr += length;

    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return true;
    ElementLimit list(ber, ber->ptr + length);
    while (ber->ptr < ber->end) {
        if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
            break;
        uint8_t* const attributeEnd = ber->ptr + length;
        ElementLimit attribute(ber, attributeEnd);
        if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
            break;
        sink.attribute(ber->ptr, length);
        ber->ptr += length;
        readValues(codec, ber, sink);
        ber->ptr = attributeEnd;
    }
    return true;
}

} // namespace

// The first pass checks the entry and sizes it, the second fills the one
// block from the same bytes, so both take the same way through them.
EntryRead ornReadEntry(BerCodec& codec, BerBuffer* ber, EntryRecord** entry)
{
    uint8_t* const start = ber->ptr;
    Measure measure;
    if (!readEntry(codec, ber, measure))
        return EntryRead::Unreadable;
    if (measure.empty()) {
        *entry = nullptr;
        return EntryRead::Read;
    }
    std::size_t size = 0;
    if (!measure.fits() || !measure.blockSize(&size))
        return EntryRead::NoMemory;
    auto* block = static_cast<char*>(ornMalloc(size));
    if (!block)
        return EntryRead::NoMemory;
    ber->ptr = start;
    Fill fill(block, measure);
    readEntry(codec, ber, fill);
    *entry = fill.entry();
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
        if (!first->one_block)
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
        ornFree(first->name);
        ornFree(first);
        first = next;
    }
}

void FreeValueChain(ValueRecord* first)
{
    while (first) {
        ValueRecord* next = first->next;
        ornFree(first->data);
        ornFree(first);
        first = next;
    }
}
