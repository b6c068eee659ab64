#include "browser/tree/DnLabels.h"

#include "browser/tree/DirectoryTree.h"

namespace {

constexpr std::string_view kLinkPrefix = "cn=Ref:";

// The first comma that separates RDNs: "\," (RFC 4514) is part of a value.
// npos when there is none.
std::size_t firstSeparator(std::string_view dn)
{
    for (std::size_t i = 0; i < dn.size(); ++i) {
        if (dn[i] == '\\')
            ++i;
        else if (dn[i] == ',')
            return i;
    }
    return std::string_view::npos;
}

// Where the value of the first RDN starts. An object link names its target
// inside its own value (cn=Ref:cn="..."), so a quote there is looked for
// after the target's "=".
std::size_t valueStart(std::string_view dn)
{
    std::size_t from = 0;
    if (dn.starts_with(kLinkPrefix) && dn.find('"') != std::string_view::npos)
        from = kLinkPrefix.size();
    std::size_t equals = dn.find('=', from);
    return equals == std::string_view::npos ? std::string_view::npos : equals + 1;
}

} // namespace

std::string DnToLabel(std::string_view dn)
{
    std::size_t start = valueStart(dn);
    bool quoted = start < dn.size() && dn[start] == '"';
    if (quoted && dn.find(',') != std::string_view::npos) {
        std::size_t opening = dn.find('"');
        std::size_t closing = dn.find('"', opening + 1);
        if (closing != std::string_view::npos)
            return std::string(dn.substr(0, closing + 1));
    }
    return std::string(dn.substr(0, firstSeparator(dn)));
}

std::string BuildFullDn(const TreeNode& node)
{
    std::string dn = node.label;
    for (const TreeNode* ancestor = node.parent; ancestor; ancestor = ancestor->parent)
        dn += "," + ancestor->label;
    return dn;
}
