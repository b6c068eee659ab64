// The result accessors of the service: those of OrnQuery, refused while the
// service is not initialised, and the free calls, which need no service.
#include "ldap/OrnInterface.h"

#include "ldap/OrnCodes.h"
#include "ldap/OrnQuery.h"
#include "ldap/OrnTrace.h"

// Writes the start line, refuses an uninitialised service, and otherwise
// runs the accessor of the same name and writes the end line.
#define ORN_ACCESSOR(name, call)                                                              \
    do {                                                                                      \
        ornTrace("OrnInterface:" #name ": Function Start \n");                                \
        if (!initialised_) {                                                                  \
            ornTracef("OrnInterface:" #name ": Initialise error=%d\n", ORN_NOT_INITIALISED); \
            return ORN_NOT_INITIALISED;                                                       \
        }                                                                                     \
        const int32_t accessed = call;                                                        \
        ornTrace("OrnInterface:" #name ": Function End\n");                                   \
        return accessed;                                                                      \
    } while (0)

#define ORN_FREE(name, call)                                  \
    do {                                                      \
        ornTrace("OrnInterface:" #name ": Function Start \n"); \
        const int32_t freed = call;                           \
        ornTrace("OrnInterface:" #name ": Function End\n");    \
        return freed;                                         \
    } while (0)

int32_t OrnLdapService::OrnCountEntries(EntryRecord* result)
{
    ORN_ACCESSOR(OrnCountEntries, ::OrnCountEntries(result));
}

int32_t OrnLdapService::OrnSortEntries(EntryRecord* result, const char* attribute)
{
    ORN_ACCESSOR(OrnSortEntries, ::OrnSortEntries(result, attribute));
}

int32_t OrnLdapService::OrnCountValues(ValueRecord* values)
{
    ORN_ACCESSOR(OrnCountValues, ::OrnCountValues(values));
}

int32_t OrnLdapService::OrnFirstEntry(EntryRecord* result, EntryRecord** entry)
{
    ORN_ACCESSOR(OrnFirstEntry, ::OrnFirstEntry(result, entry));
}

int32_t OrnLdapService::OrnNextEntry(EntryRecord* previous, EntryRecord** entry)
{
    ORN_ACCESSOR(OrnNextEntry, ::OrnNextEntry(previous, entry));
}

int32_t OrnLdapService::OrnFirstAttribute(EntryRecord* entry, AttrRecord** attr)
{
    ORN_ACCESSOR(OrnFirstAttribute, ::OrnFirstAttribute(entry, attr));
}

int32_t OrnLdapService::OrnNextAttribute(AttrRecord* previous, AttrRecord** attr)
{
    ORN_ACCESSOR(OrnNextAttribute, ::OrnNextAttribute(previous, attr));
}

int32_t OrnLdapService::OrnGetValues(EntryRecord* entry, const char* type, ValueRecord** values)
{
    ORN_ACCESSOR(OrnGetValues, ::OrnGetValues(entry, type, values));
}

int32_t OrnLdapService::OrnGetValues(AttrRecord* attr, ValueRecord** values)
{
    ORN_ACCESSOR(OrnGetValues, ::OrnGetValues(attr, values));
}

int32_t OrnLdapService::OrnGetDn(EntryRecord* entry, char** dn)
{
    ORN_ACCESSOR(OrnGetDn, ::OrnGetDn(entry, dn));
}

int32_t OrnLdapService::OrnFreeResult(EntryRecord* result)
{
    ORN_FREE(OrnFreeResult, ::OrnFreeResult(result));
}

int32_t OrnLdapService::OrnFreeValues(ValueRecord* values)
{
    ORN_FREE(OrnFreeValues, ::OrnFreeValues(values));
}

int32_t OrnLdapService::OrnFreeDn(char* dn)
{
    ORN_FREE(OrnFreeDn, ::OrnFreeDn(dn));
}
