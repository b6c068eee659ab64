// What the program reads from the server besides the tree: attributes of the
// root DSE (the naming contexts, the subschema entry) and the base DN as the
// server spells it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct AppContext;
struct EntryRecord;

// Every value of the attribute, its name compared ignoring case, in every
// entry of the result up to the end-of-search node, in order.
void ForEachAttributeValue(
    const EntryRecord* result, std::string_view attribute, const std::function<void(const char* value)>& visit);
std::vector<std::string> AttributeValues(const EntryRecord* result, std::string_view attribute);

// An entry's DN: the library hands it out as the first attribute, named "dn".
// Empty when the entry has none.
std::string EntryDn(const EntryRecord* entry);

// Searches the entry (scope base, filter "objectclass=*", only the attribute,
// or all of them for null) into the root DSE result slot.
int32_t ReadIntoRootDseSlot(AppContext& context, const std::string& dn, const char* attribute);

// One attribute of the root DSE, searched into the root DSE slot, which is
// released again. Empty when the search does not succeed.
std::vector<std::string> ReadRootDse(AppContext& context, const char* attribute);

// After a login: the subschema DN from the root DSE, whether the server
// pages (supportedControl), and the base DN as the
// server returns it when it differs from the typed one by more than case
// (", " in the server's DN becomes ","). The base entry stays in the root
// DSE slot.
void ReadServerInfo(AppContext& context);
