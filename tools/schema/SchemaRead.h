// The schema read that the main view and its dialogs share: one attribute
// of the subschema entry (attributetypes or objectclasses) into the root DSE
// result slot; ForEachAttributeValue (ServerInfo.h) walks its values.
#pragma once

#include <cstdint>

struct AppContext;

// Searches the known subschema DN (scope base, filter "objectclass=*", only
// the given attribute) into the root DSE slot; without a subschema DN runs
// the library's fixed schema read instead. Returns the library's result and
// reports nothing: each caller reports in its own words.
int32_t ReadSchemaAttribute(AppContext& context, const char* attribute);
