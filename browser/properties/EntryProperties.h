// The attribute list of the main view: the attributes of the selected entry
// (or of the entry an object link points to) with their syntaxes, and the
// attribute-type read that provides the syntaxes after every tree load.
#pragma once

#include "browser/properties/AttributeList.h"

#include <string>
#include <string_view>
#include <vector>

struct AppContext;
struct AttributeTypeRecord;
struct EntryRecord;
struct ViewState;

// Fills the attribute list for the selection, one row per value. False when
// the user cancelled the read; the caller then stops.
bool ShowEntryProperties(AppContext& context);

// The rows the list shows for an entry, one per value: its syntax column,
// and whether the value is shown as bytes. The search window fills its own
// list with them.
std::vector<AttributeRow> EntryRows(const ViewState& state, const EntryRecord& entry);

// Adds one attributetypes value to the attribute-type list, and a type of
// several names to the multi-name table too; returns its name.
const std::string& AddAttributeType(ViewState& state, const char* definition);

// Reads the server's attribute types into the attribute-type list and the
// multi-name table (after every tree load).
void ReadAttributeTypes(AppContext& context);

// Shows the attributes of the entry the selected object link points to.
void ViewOriginalProperties(AppContext& context);

// The syntax OID (with its length bound) of an attribute type, inherited
// from its supertype when it has none of its own; empty when unknown.
std::string SchemaSyntax(const ViewState& state, std::string_view attributeName);

// The syntax column for an attribute name: the display name of its schema
// syntax, looked up through the multi-name table for a second name, or
// "Not Available".
std::string SyntaxColumnText(const ViewState& state, std::string_view attributeName);

// The attribute type of a name: the record named so, or else the one whose
// several names list it ('cn' 'commonName'), matched as a whole quoted name
// so that "o" does not find commonName. Null when neither exists.
const AttributeTypeRecord* FindAttributeType(const ViewState& state, std::string_view name);
