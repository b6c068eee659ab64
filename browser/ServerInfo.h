// What the program reads from the server besides the tree: attributes of the
// root DSE (the naming contexts, the subschema entry) and the base DN as the
// server spells it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct AppContext;
struct EntryRecord;

// Every value of the attribute, its name compared ignoring case, in every
// entry of the result up to the end-of-search node, in order.
std::vector<std::string> AttributeValues(const EntryRecord* result, std::string_view attribute);

// One attribute of the root DSE, searched into the root DSE slot, which is
// released again. Empty when the search does not succeed.
std::vector<std::string> ReadRootDse(AppContext& context, const char* attribute);

// After a login: the subschema DN from the root DSE, and the base DN as the
// server returns it when it differs from the typed one by more than case
// (", " in the server's DN becomes ","). The base entry stays in the root
// DSE slot.
void ReadServerInfo(AppContext& context);
