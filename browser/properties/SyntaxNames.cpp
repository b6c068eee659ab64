#include "browser/properties/SyntaxNames.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using Name = std::pair<std::string_view, std::string_view>;

// The program's own names; they win over the standard ones.
constexpr std::array<Name, 23> kProgramNames { {
    { "1.3.6.1.4.1.1466.115.121.1.7", "boolean" },
    { "1.3.6.1.4.1.1466.115.121.1.26", "Case-Exact String (CES)" },
    { "2.16.840.1.113719.1.1.5.1.6", "Case Ignore List" },
    { "1.3.6.1.4.1.1466.115.121.1.15", "Case Ignore String" },
    { "1.3.6.1.4.1.1466.115.121.1.38", "Class Name" },
    { "2.16.840.1.113719.1.1.5.1.22", "Counter" },
    { "1.3.6.1.4.1.1466.115.121.1.12", " Distinguished Name" },
    { "2.16.840.1.113719.1.1.5.1.14", "EMail Address" },
    { "1.3.6.1.4.1.1466.115.121.1.22", "Facsimile Telephone Number" },
    { "1.3.6.1.4.1.1466.115.121.1.27", "INTEGER" },
    { "2.16.840.1.113719.1.1.5.1.12", "Tagged Data" },
    { "1.3.6.1.4.1.1466.115.121.1.36", "Numeric string" },
    { "2.16.840.1.113719.1.1.5.1.13", "Octet List" },
    { "1.3.6.1.4.1.1466.115.121.1.40", "Path" },
    { "2.16.840.1.113719.1.1.5.1.15", "INTEGER" },
    { "1.3.6.1.4.1.1466.115.121.1.41", "Postal Address" },
    { "1.3.6.1.4.1.1466.115.121.1.44", "NDS Replica Pointer" },
    { "1.3.6.1.4.1.1466.115.121.1.5", "Stream" },
    { "2.16.840.1.113719.1.1.5.1.19", "Timestamp" },
    { "2.16.840.1.113719.1.1.5.1.25", "Typed Name" },
    { "1.3.6.1.4.1.1466.115.121.1.50", "Telephone Number" },
    { "1.3.6.1.4.1.1466.115.121.1.24", "Generalised Time" },
    { "1.3.6.1.4.1.250.1.57", "URL" },
} };

// RFC 4517, RFC 4523 (certificates), RFC 4530 (UUID) and the syntaxes of
// RFC 2252 that servers still publish, by the number after
// 1.3.6.1.4.1.1466.115.121.1.
constexpr std::array<std::pair<int, std::string_view>, 49> kStandardNames { {
    { 1, "ACI Item" }, { 2, "Access Point" }, { 3, "Attribute Type Description" }, { 4, "Audio" },
    { 5, "Binary" }, { 6, "Bit String" }, { 7, "Boolean" }, { 8, "Certificate" }, { 9, "Certificate List" },
    { 10, "Certificate Pair" }, { 11, "Country String" }, { 12, "DN" }, { 13, "Data Quality" },
    { 14, "Delivery Method" }, { 15, "Directory String" }, { 16, "DIT Content Rule Description" },
    { 17, "DIT Structure Rule Description" }, { 19, "DSA Quality" }, { 20, "DSE Type" },
    { 21, "Enhanced Guide" }, { 22, "Facsimile Telephone Number" }, { 23, "Fax" },
    { 24, "Generalized Time" }, { 25, "Guide" }, { 26, "IA5 String" }, { 27, "Integer" }, { 28, "JPEG" },
    { 29, "Master And Shadow Access Points" }, { 30, "Matching Rule Description" },
    { 31, "Matching Rule Use Description" }, { 32, "Mail Preference" }, { 33, "MHS OR Address" },
    { 34, "Name And Optional UID" }, { 35, "Name Form Description" }, { 36, "Numeric String" },
    { 37, "Object Class Description" }, { 38, "OID" }, { 39, "Other Mailbox" }, { 40, "Octet String" },
    { 41, "Postal Address" }, { 43, "Presentation Address" }, { 44, "Printable String" },
    { 49, "Supported Algorithm" }, { 50, "Telephone Number" }, { 51, "Teletex Terminal Identifier" },
    { 52, "Telex Number" }, { 53, "UTC Time" }, { 54, "LDAP Syntax Description" },
    { 58, "Substring Assertion" },
} };

constexpr std::string_view kStandardArc = "1.3.6.1.4.1.1466.115.121.1.";
constexpr std::string_view kUuid = "1.3.6.1.1.16.1";

constexpr std::array<int, 9> kBinaryNumbers { 4, 5, 8, 9, 10, 23, 28, 40, 49 };

// The number of a syntax under the standard arc, or -1.
int standardNumber(std::string_view oid)
{
    if (!oid.starts_with(kStandardArc) || oid.size() == kStandardArc.size() || oid.size() > kStandardArc.size() + 3)
        return -1;
    int number = 0;
    for (char c : oid.substr(kStandardArc.size())) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string_view nameOf(std::string_view oid)
{
    for (const auto& [known, name] : kProgramNames)
        if (oid == known)
            return name;
    const int number = standardNumber(oid);
    for (const auto& [known, name] : kStandardNames)
        if (number == known)
            return name;
    return oid == kUuid ? "UUID" : std::string_view();
}

} // namespace

std::string SyntaxDisplayText(std::string_view syntax)
{
    const std::size_t brace = syntax.find('{');
    const std::string_view oid = syntax.substr(0, brace);
    const std::string_view name = nameOf(oid);
    if (name.empty())
        return std::string(syntax);
    std::string text(name);
    if (brace != std::string_view::npos)
        text.append(" ").append(syntax.substr(brace));
    return text;
}

bool IsBinarySyntax(std::string_view syntax)
{
    const int number = standardNumber(syntax.substr(0, syntax.find('{')));
    return std::find(kBinaryNumbers.begin(), kBinaryNumbers.end(), number) != kBinaryNumbers.end();
}
