#include "browser/properties/EntryProperties.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/SearchOutcome.h"
#include "browser/Trimmed.h"
#include "browser/ViewState.h"
#include "browser/properties/SyntaxNames.h"
#include "browser/session/ServerInfo.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnInterface.h"
#include "tools/schema/SchemaRead.h"

#include <strings.h>

#include <cctype>
#include <optional>
#include <utility>

namespace {

constexpr const char* kNotAvailable = "Not Available";
constexpr const char* kObjectLinkAttribute = "OrnAttrObjectLink";
constexpr int32_t kScopeBase = 0;

bool hasSyntax(const AttributeTypeRecord& record)
{
    return record.definition.find("SYNTAX") != std::string::npos;
}

// The supertype an attribute type names with SUP, or empty.
std::string superiorName(const std::string& definition)
{
    std::size_t keyword = definition.find(" SUP ");
    if (keyword == std::string::npos)
        return {};
    std::size_t first = definition.find_first_not_of(" '", keyword + 5);
    if (first == std::string::npos)
        return {};
    std::size_t last = definition.find_first_of(" ')", first);
    return definition.substr(first, last == std::string::npos ? std::string::npos : last - first);
}

// A type without a SYNTAX of its own takes its supertype's (cn, sn and o
// from name, member from distinguishedName). The walk is bounded so that a
// schema whose supertypes form a loop cannot hang the view.
const AttributeTypeRecord* typeWithSyntax(const ViewState& state, const AttributeTypeRecord* record)
{
    for (int depth = 0; record && !hasSyntax(*record) && depth < 16; ++depth) {
        std::string superior = superiorName(record->definition);
        record = superior.empty() ? nullptr : FindAttributeType(state, superior);
    }
    return record && hasSyntax(*record) ? record : nullptr;
}

// Servers that write SYNTAX unquoted (OpenLDAP) leave the rest of the
// definition in the parsed syntax text; the column shows the OID and its
// length bound only.
std::string syntaxOid(std::string_view syntax)
{
    std::string text = Trimmed(syntax);
    return text.substr(0, text.find_first_of(" \t\n\r\v\f"));
}

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// userCertificate;binary: the option asks for the value's bytes as they are.
bool hasBinaryOption(std::string_view name)
{
    for (std::size_t at = name.find(';'); at != std::string_view::npos; at = name.find(';', at + 1)) {
        std::string_view option = name.substr(at + 1, name.find(';', at + 1) - at - 1);
        if (lowerCase(option) == "binary")
            return true;
    }
    return false;
}

bool hasEntry(const EntryRecord* result)
{
    return result && !result->end_of_search;
}

// Adds one row per value of the entry. Returns the DN a link points to when
// the follow-link mode meets one; the rows shown so far are then dropped.
std::optional<std::string> addRows(ViewState& state, const EntryRecord& entry)
{
    EditingState& editing = state.editing;
    for (AttributeRow& row : EntryRows(state, entry)) {
        editing.lastValue = row.value;
        state.attributes.append(row);
        if (editing.followLink && strcasecmp(row.name.c_str(), kObjectLinkAttribute) == 0) {
            state.attributes.clear();
            return std::move(row.value);
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<AttributeRow> EntryRows(const ViewState& state, const EntryRecord& entry)
{
    std::vector<AttributeRow> rows;
    for (const AttrRecord* attr = entry.attrs; attr; attr = attr->next) {
        std::string name = attr->name ? attr->name : "";
        std::string syntax = SyntaxColumnText(state, name);
        const bool binarySyntax = IsBinarySyntax(SchemaSyntax(state, name)) || hasBinaryOption(name);
        for (const ValueRecord* value = attr->values; value; value = value->next) {
            std::string bytes = value->data && value->len > 0 ? std::string(value->data, value->len - 1) : "";
            const bool binary = binarySyntax || !IsText(bytes);
            rows.push_back({ std::move(bytes), name, syntax, binary });
        }
    }
    return rows;
}

const AttributeTypeRecord* FindAttributeType(const ViewState& state, std::string_view name)
{
    if (const AttributeTypeRecord* record = state.attributeTypes.find(name))
        return record;
    const std::string quoted = "'" + lowerCase(name) + "'";
    for (const std::string& names : state.multiNames)
        if (lowerCase(names).find(quoted) != std::string::npos)
            return state.attributeTypes.find(names);
    return nullptr;
}

std::string SchemaSyntax(const ViewState& state, std::string_view attributeName)
{
    const AttributeTypeRecord* record = typeWithSyntax(state, FindAttributeType(state, attributeName));
    return record ? syntaxOid(record->syntax) : std::string();
}

std::string SyntaxColumnText(const ViewState& state, std::string_view attributeName)
{
    std::string text = Trimmed(SyntaxDisplayText(SchemaSyntax(state, attributeName)));
    return text.empty() ? kNotAvailable : text;
}

const std::string& AddAttributeType(ViewState& state, const char* definition)
{
    const std::string& name = state.attributeTypes.add(definition);
    if (name.find(' ') != std::string::npos)
        state.multiNames.push_back(name);
    return name;
}

void ReadAttributeTypes(AppContext& context)
{
    ViewState& state = context.state;
    state.multiNames.clear();
    state.objectClasses.clear();
    state.attributeTypes.clear();
    state.rootDseResult.release();

    const int32_t read = ReadSchemaAttribute(context, "attributetypes");
    if (read > 0) {
        ReportServerResponse(context, read);
        context.desktop.setStatusText(kAppTitle);
        return;
    }
    if (ReportSearchCancelled(context, read))
        return;
    if (read < 0) {
        // Only a search of the subschema entry names the lost server in the log.
        if (state.subschemaDn.empty()) {
            state.flags.connectionLost = true;
            context.desktop.error(kConnectionTimedOut, "Error");
        } else {
            ReportConnectionLost(context, kConnectionTimedOut, read);
        }
        return;
    }
    ForEachAttributeValue(
        state.rootDseResult.get(), "attributetypes", [&state](const char* value) { AddAttributeType(state, value); });
    state.rootDseResult.release();
}

bool ShowEntryProperties(AppContext& context)
{
    ViewState& state = context.state;
    EditingState& editing = state.editing;
    // A second pass shows the entry a link points to; it clears the
    // follow-link mode, so a link to a link is not followed again.
    for (;;) {
        state.attributes.clear();
        state.generalResult.release();
        if (!editing.keepDn)
            editing.dnToShow = state.selection.fullDn;
        editing.namingAttribute = editing.dnToShow.substr(0, editing.dnToShow.find('='));

        WaitingFor waiting(context, "Reading " + editing.dnToShow);
        const int32_t searched = context.service.OrnSearchSync(
            editing.dnToShow.c_str(), "objectclass=*", nullptr, 0, kScopeBase, state.generalResult.place());
        // A lost connection is left to the tree command that asked for the entry.
        if (searched > 0 && searched != kNoSuchObject)
            ReportServerResponse(context, searched);
        if (searched != 0 && searched != kNoSuchObject) {
            state.generalResult.release();
            return !ReportSearchCancelled(context, searched);
        }
        const EntryRecord* entry = state.generalResult.get();
        if (!hasEntry(entry)) {
            state.generalResult.release();
            context.desktop.error("Object does not exist. The object could have been deleted from server", "Error");
            if (TreeNode* selected = state.tree.selected())
                state.tree.remove(selected);
            return true;
        }
        std::optional<std::string> target = addRows(state, *entry);
        state.generalResult.release();
        if (!target)
            return true;
        editing.dnToShow = std::move(*target);
        editing.followLink = false;
        editing.keepDn = true;
    }
}

void ViewOriginalProperties(AppContext& context)
{
    EditingState& editing = context.state.editing;
    editing.followLink = true;
    editing.keepDn = true;
    editing.dnToShow = context.state.selection.fullDn;
    ShowEntryProperties(context);
}
