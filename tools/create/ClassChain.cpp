#include "tools/create/ClassChain.h"

#include <strings.h>

#include <algorithm>

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool blank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

std::vector<std::string> SplitNames(std::string_view joined)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('$', start);
        if (end == std::string_view::npos)
            end = joined.size();
        if (end > start)
            names.emplace_back(joined.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::vector<std::string> CollectMandatoryNames(const ObjectClassList& classes, std::string_view className)
{
    std::vector<std::string> work;
    std::vector<const ObjectClassRecord*> visited;
    for (const ObjectClassRecord* record = classes.find(className);
         record && std::find(visited.begin(), visited.end(), record) == visited.end();) {
        visited.push_back(record);
        for (std::string& name : SplitNames(record->mandatory))
            work.push_back(std::move(name));
        std::vector<std::string> superiors = SplitNames(record->superiors);
        // An empty last piece ("a$") means no superior, as a missing one does.
        if (superiors.empty() || record->superiors.ends_with('$'))
            break;
        record = classes.find(superiors.back());
    }

    std::vector<std::string> collected;
    for (std::string& name : work)
        if (!blank(name) && !sameName(name, "objectclass")
            && std::none_of(collected.begin(), collected.end(), [&](const std::string& c) { return sameName(c, name); }))
            collected.push_back(std::move(name));
    std::stable_sort(collected.begin(), collected.end(),
        [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return collected;
}

std::string FirstOptionalName(const ObjectClassRecord& record)
{
    for (std::string& name : SplitNames(record.optional))
        if (!sameName(name, "aci"))
            return std::move(name);
    return {};
}
