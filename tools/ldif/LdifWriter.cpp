#include "tools/ldif/LdifWriter.h"

#include "ldap/OrnResult.h"
#include "tools/ldif/Base64.h"

#include <cstring>

bool LdifSafe(std::string_view value)
{
    if (value.empty())
        return true;
    const unsigned char first = static_cast<unsigned char>(value.front());
    // A plain DN is trimmed when read, so tabs at either end go base64 too.
    if (first == ' ' || first == '\t' || first == ':' || first == '<' || value.back() == ' ' || value.back() == '\t')
        return false;
    for (char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte == '\n' || byte == '\r' || byte > 127)
            return false;
    }
    return true;
}

void AppendLdifLine(std::string& out, std::string_view name, std::string_view value)
{
    out += name;
    out += ':';
    if (LdifSafe(value)) {
        out += value;
    } else {
        out += ": ";
        AppendBase64(out, value);
    }
    out += '\n';
}

void AppendLdifEntry(std::string& out, const EntryRecord& entry)
{
    if (entry.end_of_search)
        return;
    for (const AttrRecord* attr = entry.attrs; attr; attr = attr->next) {
        // The name's length without its terminating zero.
        const std::string_view name(attr->name, std::strlen(attr->name));
        for (const ValueRecord* value = attr->values; value; value = value->next)
            AppendLdifLine(out, name, std::string_view(value->data, value->len > 0 ? value->len - 1 : 0));
    }
    out += '\n';
}
