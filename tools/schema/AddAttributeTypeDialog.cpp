#include "tools/schema/AddAttributeTypeDialog.h"

#include "browser/AppContext.h"
#include "tools/schema/SchemaRead.h"

#include <array>
#include <string_view>

namespace {

struct Syntax {
    const char* choice; // the drop-down's text, trailing blank and all
    const char* oid;
};
constexpr std::array<Syntax, 6> kSyntaxes { {
    { "cis (case-ignore string) ", "1.3.6.1.4.1.1466.115.121.1.15" },
    { "bin (binary) ", "1.3.6.1.4.1.1466.115.121.1.5" },
    { "tel (telephone number) ", "1.3.6.1.4.1.1466.115.121.1.50" },
    { "ces (case-exact string) ", "1.3.6.1.4.1.1466.115.121.1.26" },
    { "int (integer) ", "1.3.6.1.4.1.1466.115.121.1.27" },
    { "dn (distinguished name) ", "1.3.6.1.4.1.1466.115.121.1.12" },
} };

} // namespace

AddAttributeTypeDialog::AddAttributeTypeDialog(AppContext& context)
    : context_(context)
{
    for (const Syntax& syntax : kSyntaxes)
        syntax_.items.emplace_back(syntax.choice);
    syntax_.choose(0);
    description_.text = "User Defined Attrbute";
}

void AddAttributeTypeDialog::setName(std::string text)
{
    name_.text = std::move(text);
}
void AddAttributeTypeDialog::setOid(std::string text)
{
    oid_.text = std::move(text);
}
void AddAttributeTypeDialog::chooseSyntax(int index)
{
    syntax_.choose(index);
}
void AddAttributeTypeDialog::setDescription(std::string text)
{
    description_.text = std::move(text);
}

std::string AddAttributeTypeDialog::definition() const
{
    std::string oid = oid_.text.empty() ? name_.text + "-oid" : oid_.text;
    // Unquoted, as RFC 4512 writes an OID: 389 refuses a quoted one.
    const Syntax& syntax = kSyntaxes[static_cast<std::size_t>(syntax_.selected < 0 ? 0 : syntax_.selected)];
    return "( " + oid + " NAME '" + name_.text + "' DESC '" + description_.text + "' SYNTAX " + syntax.oid + " )";
}

void AddAttributeTypeDialog::ok()
{
    DialogResult result = AddToSchema(context_, "attributetypes", definition());
    if (result != DialogResult::None)
        end(result);
    changed();
}
