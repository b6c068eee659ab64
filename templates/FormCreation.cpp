#include "templates/FormCreation.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "tools/create/NewEntry.h"

#include <locale.h>
#include <strings.h>
#include <wctype.h>

#include <cstdlib>
#include <initializer_list>
#include <map>

namespace {

// The value's characters, decoded from UTF-8; a byte that is not UTF-8
// stands for itself, and is no letter.
std::u32string characters(const std::string& value)
{
    std::u32string out;
    for (std::size_t i = 0; i < value.size();) {
        const auto lead = static_cast<unsigned char>(value[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool whole = length > 0 && i + length <= value.size();
        for (int k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(value[i + k]);
            whole = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        out += whole ? c : char32_t(0xFFFD);
        i += whole ? static_cast<std::size_t>(length) : 1;
    }
    return out;
}

bool isLetter(char32_t c, bool orDigit)
{
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (c == 0xFFFD)
        return false;
    if (orDigit && c >= '0' && c <= '9')
        return true;
    return unicode ? iswalpha_l(static_cast<wint_t>(c), unicode) != 0 : ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

bool allLetters(const std::string& value, bool orDigits)
{
    for (char32_t c : characters(value))
        if (!isLetter(c, orDigits))
            return false;
    return true;
}

bool oneOf(const std::string& value, std::initializer_list<const char*> words)
{
    for (const char* word : words)
        if (strcasecmp(value.c_str(), word) == 0)
            return true;
    return false;
}

} // namespace

bool ValidateValue(Desktop& desktop, const std::string& value, const std::string& rule)
{
    if (value.empty())
        return true;
    struct Rule {
        const char* name;
        bool (*passes)(const std::string&);
        const char* failure;
    };
    static const Rule kRules[] = {
        { "nonnegativenumber", [](const std::string& v) { return std::strtoll(v.c_str(), nullptr, 10) >= 0; },
            " Negative value specified.Unable to Create Object" },
        { "charactersonly", [](const std::string& v) { return allLetters(v, false); },
            " Non character Value Specified.Unable to Create Object" },
        { "boolean",
            [](const std::string& v) {
                return oneOf(v, { "TRUE", "FALSE", "ON", "OFF" });
            },
            " Non boolean value specified.Unable to Create Object" },
        { "alphanumeric", [](const std::string& v) { return allLetters(v, true); },
            " Non alphanumeric value specified.Unable to Create Object" },
        { "Number", [](const std::string& v) { return v.find_first_not_of("0123456789") == std::string::npos; },
            " Value is Not Numeric.Unable to Create Object" },
    };
    for (const Rule& known : kRules) {
        if (strcasecmp(rule.c_str(), known.name) != 0)
            continue;
        if (known.passes(value))
            return true;
        desktop.error(value + known.failure, "Validation Error");
        return false;
    }
    return true;
}

DialogResult CreateFromForm(
    AppContext& context, const XmlTemplate& form, const std::vector<FormPair>& fields, std::string& labelText)
{
    if (!context.state.tree.selected()) {
        context.desktop.error("Please Select Item First", "Error");
        return DialogResult::None;
    }
    if (fields.empty())
        return DialogResult::None;
    const FormPair* naming = nullptr;
    bool uidSeen = false;
    std::vector<std::pair<std::string, std::vector<std::string>>> attributes;
    std::map<std::string, std::size_t,
        decltype([](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; })>
        attributeAt;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FormPair& field = fields[i];
        if (strcasecmp(field.name.c_str(), "cn") == 0 && !uidSeen)
            naming = &field;
        if (strcasecmp(field.name.c_str(), "uid") == 0) {
            naming = &field;
            uidSeen = true;
            if (field.value.empty()) {
                context.desktop.error("uid Field cannot be empty", "Error");
                return DialogResult::None;
            }
        }
        const std::string rule = i < form.fields.size() ? form.fields[i].validation : std::string();
        if (!ValidateValue(context.desktop, field.value, rule))
            return DialogResult::None;
        if (field.value.empty())
            continue;
        auto [at, added] = attributeAt.emplace(field.name, attributes.size());
        if (added)
            attributes.push_back({ field.name, {} });
        attributes[at->second].second.push_back(field.value);
    }
    if (!naming)
        naming = &fields.front();
    NewEntry entry(naming->name, naming->value, ParentDn(context));
    for (auto& [name, values] : attributes)
        entry.attribute(name, values);
    entry.attribute("objectclass", form.objectClasses);
    return AddNewEntry(context, entry, labelText);
}
