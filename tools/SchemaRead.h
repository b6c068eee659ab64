// The schema reads that the main view and its dialogs share: one attribute
// of the subschema entry (attributetypes or objectclasses) into the root DSE
// result slot, and the walk that adds its values to a schema list.
#pragma once

#include "SchemaModel.h"

#include <cstdint>
#include <functional>
#include <string>

struct AppContext;
struct EntryRecord;

// Searches the known subschema DN (scope base, filter "objectclass=*", only
// the given attribute) into the root DSE slot; without a subschema DN runs
// the library's fixed schema read instead. Returns the library's result and
// reports nothing: each caller reports in its own words.
int32_t ReadSchemaAttribute(AppContext& context, const char* attribute);

// For every attribute of every entry of the result whose name equals the
// given one (ignoring case), each value in order: calls the visitor with it.
void ForEachSchemaValue(const EntryRecord* result, const char* attribute,
                        const std::function<void(const char* value)>& visit);
