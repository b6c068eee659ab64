// LDIF as the export writes it: "dn:" and the DN, then one line per value,
// then an empty line. A plain value is written right after the colon; a
// value or DN that is not an RFC 2849 SAFE-STRING, or that begins or ends
// in a tab or ends in a blank,
// goes as "name:: base64" (as ldapsearch writes it), so no byte is lost; an
// empty value is "name:" alone. No folding, so each value is one line.
#pragma once

#include <string>
#include <string_view>

struct EntryRecord;

// False when the value must go base64.
bool LdifSafe(std::string_view value);

void AppendLdifLine(std::string& out, std::string_view name, std::string_view value);

// One entry of a search result, its empty line included; the end-of-search
// node gives nothing.
void AppendLdifEntry(std::string& out, const EntryRecord& entry);
