// The accessors that walk a search result: entries, attributes, values and
// the DN, with their trace lines and failure texts.
#include "ldap/OrnQuery.h"

#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnTrace.h"
#include "ldap/io.h"

#include <strings.h>

#include <cstring>

namespace {

// Writes the start line now and the end line on every way out.
class Traced {
public:
    Traced(const char* start, const char* end) : end_(end) { ornTrace(start); }
    ~Traced() { ornTrace(end_); }
    Traced(const Traced&) = delete;
    Traced& operator=(const Traced&) = delete;

private:
    const char* end_;
};

#define ORN_TRACED(module, function) \
    Traced traced(module ":" function ": Function Start:\n", module ":" function ": Function End:\n")

int32_t fail(const char* text, int32_t code)
{
    ornTrace(text);
    return code;
}

} // namespace

// Counts the steps to the end-of-search node, so an unfinished chain counts
// one less than it holds.
int32_t OrnCountEntries(EntryRecord* result)
{
    ORN_TRACED("OrnQuery", "OrnCountEntries");
    if (!result)
        return fail("OrnQuery:OrnCountEntries: Result parameter NULL:\n", -1);
    int32_t count = 0;
    for (EntryRecord* entry = result; entry->next && !entry->end_of_search; entry = entry->next)
        ++count;
    return count;
}

// Entries stay in arrival order.
int32_t OrnSortEntries(EntryRecord*, const char*)
{
    ORN_TRACED("OrnQuery", "OrnSortEntries");
    return 0;
}

int32_t OrnCountValues(ValueRecord* values)
{
    ORN_TRACED("OrnQuery", "OrnCountValues");
    if (!values)
        return fail("OrnQuery:OrnCountValues: Values parameter NULL:\n", ORN_FUNC_PARAM_ERROR);
    int32_t count = 0;
    for (ValueRecord* value = values; value; value = value->next)
        ++count;
    return count;
}

int32_t OrnFirstEntry(EntryRecord* result, EntryRecord** entry)
{
    ORN_TRACED("OrnQuery", "OrnFirstEntry");
    if (!result || !entry)
        return fail("OrnQuery:OrnFirstEntry: Result parameter NULL:\n", ORN_FUNC_PARAM_ERROR);
    *entry = result;
    return 0;
}

int32_t OrnNextEntry(EntryRecord* previous, EntryRecord** entry)
{
    ORN_TRACED("OrnQuery", "OrnNextEntry");
    if (!previous || !entry)
        return fail("OrnQuery:OrnNextEntry: PrevEntry parameter error:\n", ORN_FUNC_PARAM_ERROR);
    *entry = previous->next;
    return 0;
}

int32_t OrnFirstAttribute(EntryRecord* entry, AttrRecord** attr)
{
    ORN_TRACED("OrnQuery", "OrnFirstAttribute");
    if (!entry || !attr)
        return fail("OrnQuery:OrnFirstAttribute: Entry parameter NULL:\n", ORN_FUNC_PARAM_ERROR);
    *attr = entry->attrs;
    return 0;
}

int32_t OrnNextAttribute(AttrRecord* previous, AttrRecord** attr)
{
    ORN_TRACED("OrnQuery", "OrnNextAttribute");
    if (!previous || !attr)
        return fail("OrnQuery:OrnNextAttribute: PrevAttr parameter error:\n", ORN_FUNC_PARAM_ERROR);
    *attr = previous->next;
    return 0;
}

// No attribute of that name is not a failure: values keeps what it held.
int32_t OrnGetValues(EntryRecord* entry, const char* type, ValueRecord** values)
{
    ORN_TRACED("OrnQuery", "OrnGetValues");
    if (!entry || !type || !values)
        return fail("OrnQuery:OrnGetValues: Result or Attr parameter error:\n", ORN_FUNC_PARAM_ERROR);
    for (AttrRecord* attr = entry->attrs; attr; attr = attr->next) {
        if (attr->name && strcasecmp(attr->name, type) == 0) {
            *values = attr->values;
            break;
        }
    }
    return 0;
}

int32_t OrnGetValues(AttrRecord* attr, ValueRecord** values)
{
    ORN_TRACED("OrnQuery", "OrnGetValues");
    if (!attr || !attr->values || !values)
        return fail("OrnQuery:OrnGetValues: Attr parameter error:\n", ORN_FUNC_PARAM_ERROR);
    *values = attr->values;
    return 0;
}

// The DN is the pseudo attribute Decode puts first; an entry without one
// (the root entry, the end-of-search node) has no DN, which is no failure.
int32_t OrnGetDn(EntryRecord* entry, char** dn)
{
    ORN_TRACED("OrnInterface", "OrnGetDn");
    if (dn)
        *dn = nullptr;
    if (!entry || !dn)
        return fail("OrnInterface:OrnGetDn: Invalid Input\n", INVALID_INPUT);
    const AttrRecord* first = entry->attrs;
    if (!first || !first->name || strcasecmp(first->name, "DN") != 0 || !first->values)
        return fail("OrnInterface:OrnGetDn: Dn not found\n", 0);
    const ValueRecord* value = first->values;
    const std::size_t length = value->len > 0 ? static_cast<std::size_t>(value->len - 1) : 0;
    char* copy = ornStrndup(value->data, length);
    if (!copy)
        return fail("OrnInterface:OrnGetDn: Malloc error\n", MALLOC_ERROR);
    *dn = copy;
    return 0;
}

int32_t OrnFreeResult(EntryRecord* result)
{
    ORN_TRACED("OrnQuery", "OrnFreeResult");
    return FreeEntryChain(result);
}

// For a chain built apart; a decoded entry's values go with OrnFreeResult.
int32_t OrnFreeValues(ValueRecord* values)
{
    ORN_TRACED("OrnQuery", "OrnFreeValues");
    FreeValueChain(values);
    return 0;
}

int32_t OrnFreeDn(char* dn)
{
    ORN_TRACED("OrnQuery", "OrnFreeDn");
    if (!dn)
        return fail("OrnQuery:OrnFreeDn: Dn parameter NULL:\n", ORN_FUNC_PARAM_ERROR);
    ornFree(dn);
    return 0;
}

// The schema is read by the caller from the subschema entry itself.
int32_t OrnGetSchema(EntryRecord*)
{
    ORN_TRACED("OrnQuery", "OrnGetSchema");
    return 0;
}
