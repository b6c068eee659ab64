#include "tools/search/SearchFilter.h"

#include "ldap/Ber.h"
#include "ldap/OrnQuery.h"
#include "tools/schema/SchemaRead.h"

#include <memory>

namespace {

// One "(%s=%s)", or "(%s%s)" for a comparison, when both hold something.
void appendCondition(std::string& filter, const std::string& name, const std::string& rawValue)
{
    const std::string value = Trimmed(rawValue);
    if (IsBlank(name) || IsBlank(value))
        return;
    const bool comparison = value.front() == '>' || value.front() == '<';
    filter += "(" + name + (comparison ? "" : "=") + value + ")";
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

std::string ComposeFilter(const FilterParts& parts)
{
    std::string filter = "(& ";
    appendCondition(filter, "objectclass", parts.objectClass);
    filter += parts.allOf ? "(& " : "(| ";
    for (const SearchCondition& condition : parts.conditions)
        appendCondition(filter, condition.name, condition.value);
    filter += "))";
    if ((endsWith(filter, "(& ))") || endsWith(filter, "(| ))")) && !IsBlank(parts.objectClass))
        filter = "(objectclass=" + Trimmed(parts.objectClass) + ")";
    return filter;
}

bool FilterCompiles(const std::string& filter)
{
    BerCodec codec;
    auto release = [&codec](BerBuffer* ber) { codec.ber_free(ber, 1); };
    std::unique_ptr<BerBuffer, decltype(release)> ber(codec.ber_alloc(0), release);
    return ber && put_filter(codec, ber.get(), filter.c_str()) == 0;
}
