#include "tools/schema/SchemaModel.h"

#include <algorithm>
#include <cctype>

// Every reader below takes positions relative to a keyword found by plain
// text search and stops at the end of the value when the closing quote or
// parenthesis it looks for is missing.
namespace {

constexpr std::string_view kWhiteSpace = " \t\n\r\v\f";

bool isWhite(char c)
{
    return kWhiteSpace.find(c) != std::string_view::npos;
}
bool isLetterOrDigit(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// The text from start up to the next stop character, or to the end.
std::string upTo(std::string_view value, std::size_t start, char stop)
{
    if (start >= value.size())
        return {};
    std::size_t end = value.find(stop, start);
    return std::string(value.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

// The position the given number of characters after the keyword's first
// letter, or npos without the keyword.
std::size_t after(std::string_view value, std::string_view keyword, std::size_t offset)
{
    std::size_t found = value.find(keyword);
    return found == std::string_view::npos ? found : found + offset;
}

bool blank(std::string_view value)
{
    return value.find_first_not_of(kWhiteSpace) == std::string_view::npos;
}

// The first word after the opening parenthesis and any blanks, so that
// "(1.2.3 NAME ..." (what Add New Object Class writes) keeps its first digit.
std::string oidOf(std::string_view value)
{
    std::size_t at = value.empty() || value[0] != '(' ? 0 : 1;
    while (at < value.size() && isWhite(value[at]))
        ++at;
    std::size_t end
        = std::find_if(value.begin() + static_cast<std::ptrdiff_t>(at), value.end(), isWhite) - value.begin();
    return std::string(value.substr(at, end - at));
}

// NAME ( 'cn' 'commonName' ) keeps the raw text between the parentheses;
// NAME 'cn' takes whatever stands first as the opening quote.
std::string nameOf(std::string_view value)
{
    std::size_t at = after(value, "NAME", 4);
    if (at == std::string_view::npos)
        return {};
    while (at < value.size() && value[at] == ' ')
        ++at;
    if (at >= value.size())
        return {};
    return upTo(value, at + 1, value[at] == '(' ? ')' : '\'');
}

std::string descriptionOf(std::string_view value)
{
    std::size_t at = after(value, "DESC", 6);
    return at == std::string_view::npos ? std::string() : upTo(value, at, '\'');
}

std::string syntaxOf(std::string_view value)
{
    std::size_t at = after(value, "SYNTAX", 7);
    if (at == std::string_view::npos || at >= value.size())
        return {};
    if (value[at] == '\'')
        ++at;
    return upTo(value, at, '\'');
}

// SUP ( a $ b ) gives a$b from each element's leading letters and digits;
// SUP 'top' gives top: only letters and digits up to the next blank.
std::string superiorsOf(std::string_view value)
{
    std::size_t at = after(value, "SUP", 3);
    if (at == std::string_view::npos)
        return {};
    while (at < value.size() && !isLetterOrDigit(value[at]) && value[at] != '(')
        ++at;
    std::string names;
    if (at < value.size() && value[at] == '(') {
        ++at;
        for (bool first = true; at < value.size(); first = false) {
            while (at < value.size() && value[at] == ' ')
                ++at;
            if (!first)
                names += '$';
            while (at < value.size() && isLetterOrDigit(value[at]))
                names += value[at++];
            while (at < value.size() && value[at] != '$' && value[at] != ')')
                ++at;
            if (at >= value.size() || value[at] == ')')
                break;
            ++at;
        }
        return names;
    }
    for (; at < value.size() && value[at] != ' '; ++at)
        if (isLetterOrDigit(value[at]))
            names += value[at];
    return names;
}

// MUST ( cn $ sn ) gives cn$sn; MUST cn gives cn. The keyword's own length
// and one blank lead to the first character read.
std::string attributeNamesOf(std::string_view value, std::string_view keyword)
{
    std::size_t at = after(value, keyword, keyword.size() + 1);
    if (at == std::string_view::npos || at >= value.size())
        return {};
    if (value[at] != '(')
        return upTo(value, at, ' ');
    std::string names;
    for (++at; at < value.size() && value[at] != ')'; ++at)
        if (!isWhite(value[at]))
            names += value[at];
    return names;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

ObjectClassRecord ParseObjectClass(std::string_view definition)
{
    ObjectClassRecord record;
    record.definition = definition;
    if (blank(definition))
        return record;
    record.name = nameOf(definition);
    record.description = descriptionOf(definition);
    record.superiors = superiorsOf(definition);
    record.mandatory = attributeNamesOf(definition, "MUST");
    record.optional = attributeNamesOf(definition, "MAY");
    record.oid = oidOf(definition);
    return record;
}

AttributeTypeRecord ParseAttributeType(std::string_view definition)
{
    AttributeTypeRecord record;
    record.definition = definition;
    if (blank(definition))
        return record;
    record.name = nameOf(definition);
    record.description = descriptionOf(definition);
    record.oid = oidOf(definition);
    record.syntax = syntaxOf(definition);
    return record;
}

template <class Record, Record (*Parse)(std::string_view)>
const Record* SchemaList<Record, Parse>::find(std::string_view name) const
{
    auto found = std::find_if(records_.begin(), records_.end(),
        [name](const Record& record) { return equalIgnoringCase(record.name, name); });
    return found == records_.end() ? nullptr : &*found;
}

template class SchemaList<ObjectClassRecord, ParseObjectClass>;
template class SchemaList<AttributeTypeRecord, ParseAttributeType>;
