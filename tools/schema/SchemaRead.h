// The schema reads that the main view and its dialogs share, each into the
// root DSE result slot; ForEachAttributeValue (ServerInfo.h) walks their
// values. Schema attributes are operational (RFC 4512): servers such as 389
// return them only when a search names them, so every read names its own.
#pragma once

#include "browser/DialogModel.h"
#include "browser/Trimmed.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct AppContext;
struct EntryRecord;

// Searches the known subschema DN (scope base, filter "objectclass=*", only
// the given attribute) into the root DSE slot; without a subschema DN runs
// the library's fixed schema read instead. Returns the library's result and
// reports nothing: each caller reports in its own words.
int32_t ReadSchemaAttribute(AppContext& context, const char* attribute);

// Searches the entry (scope base, filter "objectclass=*") for the named
// attributes into the root DSE slot. Reports nothing.
int32_t ReadSchemaEntry(AppContext& context, const std::string& dn, std::initializer_list<const char*> attributes);

// The library's fixed read of cn=Schema into the root DSE slot.
int32_t ReadFixedSchema(AppContext& context);

// True when the result holds at least one entry.
bool HoldsEntry(const EntryRecord* result);

// The names ReadWholeSchema found, in the order read.
struct SchemaNames {
    std::vector<std::string> classes;
    std::vector<std::string> attributes;
};
enum class SchemaReadEnd { Read, Failed, NoSchema };

// The schema windows' read: empties the schema lists (the multi-name table
// too, which follows the attribute types) and reads the whole
// schema into them (two searches of cn=Subschema, one attribute each; one
// of another subschema entry; the library's fixed read without one), into
// the root DSE slot. A failure has been reported as SchemaCallSucceeded
// does, and the status bar restored unless a cancelled search wrote there;
// without any schema entry "Unable to access schema" has been shown.
SchemaReadEnd ReadWholeSchema(AppContext& context, SchemaNames& names);

// How the schema dialogs end a library call: true for 0; a refusal is shown
// with ReportServerResponse, a cancelled search on the status bar, a lost
// connection with ReportConnectionLost (the dialogs' wording), which sets
// the connection-lost flag for the logout that follows.
bool SchemaCallSucceeded(AppContext& context, int32_t code);

// Adds one definition to attribute ("attributetypes", "objectclasses") of the
// schema entry cn=Schema. Ok when the server took it; Cancel when the
// connection is gone; None after a refusal, reported, so that the dialog
// stays open with what was typed.
DialogResult AddToSchema(AppContext& context, const char* attribute, std::string definition);

// Names as the dialogs' sorted list boxes hold them: ordered ignoring case.
void SortNames(std::vector<std::string>& names);
void InsertSorted(std::vector<std::string>& names, std::string name);
// "a$b$" gives a and b: an empty last piece is no name.
std::vector<std::string> SplitAtDollar(const std::string& joined);
