#include "tools/schema/SchemaDetailsDialogs.h"

namespace {

std::string descriptionOf(const std::string& definition, const std::string& description)
{
    return definition.find("DESC") == std::string::npos ? kNoDescription : description;
}

// Every piece, the empty ones too: an empty field is one empty row.
std::vector<std::string> rows(const std::string& joined)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = joined.find('$', start)) != std::string::npos; start = end + 1)
        pieces.push_back(joined.substr(start, end - start));
    pieces.push_back(joined.substr(start));
    return pieces;
}

} // namespace

ClassDetailsDialog::ClassDetailsDialog(const ObjectClassList& classes, const std::string& name)
{
    const ObjectClassRecord* record = classes.find(name);
    if (!record)
        return;
    name_ = record->name;
    oid_ = record->oid;
    description_ = descriptionOf(record->definition, record->description);
    superiors_ = rows(record->superiors);
    mandatory_ = rows(record->mandatory);
    optional_ = rows(record->optional);
}

AttributeDetailsDialog::AttributeDetailsDialog(const AttributeTypeList& types, const std::string& name)
{
    const AttributeTypeRecord* record = types.find(name);
    if (!record)
        return;
    name_ = record->name;
    oid_ = record->oid;
    syntax_ = record->definition.find("SYNTAX") == std::string::npos ? std::string() : record->syntax;
    description_ = descriptionOf(record->definition, record->description);
}
