#include "browser/session/ConnectionSecurity.h"

namespace {

constexpr std::string_view kLdapsScheme = "ldaps://";
constexpr std::string_view kStartTlsScheme = "starttls://";

} // namespace

ChoiceList SecurityChoice(ConnectionSecurity security)
{
    ChoiceList box;
    box.fill({"None", "LDAPS", "StartTLS"});
    box.choose(static_cast<int>(security));
    return box;
}

ConnectionSecurity ChosenSecurity(const ChoiceList& box)
{
    return box.selected < 0 ? ConnectionSecurity::Plain : static_cast<ConnectionSecurity>(box.selected);
}

const char* SecurityName(ConnectionSecurity security)
{
    switch (security) {
    case ConnectionSecurity::Ldaps:
        return "LDAPS";
    case ConnectionSecurity::StartTls:
        return "StartTLS";
    default:
        return "";
    }
}

int32_t DefaultPort(ConnectionSecurity security)
{
    return security == ConnectionSecurity::Ldaps ? 636 : 389;
}

std::string ProfileHost(ConnectionSecurity security, const std::string& host)
{
    switch (security) {
    case ConnectionSecurity::Ldaps:
        return std::string(kLdapsScheme) + host;
    case ConnectionSecurity::StartTls:
        return std::string(kStartTlsScheme) + host;
    default:
        return host;
    }
}

ConnectionSecurity SplitProfileHost(std::string_view field, std::string* host)
{
    ConnectionSecurity security = ConnectionSecurity::Plain;
    if (field.starts_with(kLdapsScheme)) {
        security = ConnectionSecurity::Ldaps;
        field.remove_prefix(kLdapsScheme.size());
    } else if (field.starts_with(kStartTlsScheme)) {
        security = ConnectionSecurity::StartTls;
        field.remove_prefix(kStartTlsScheme.size());
    }
    *host = field;
    return security;
}
