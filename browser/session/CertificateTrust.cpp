#include "browser/session/CertificateTrust.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ReplaceFile.h"
#include "browser/ViewState.h"
#include "browser/session/CertificateDialog.h"
#include "browser/session/ProfileFile.h"
#include "ldap/OrnInterface.h"
#include "ldap/OrnTls.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The fingerprint trusted for server, or "".
std::string pinnedFor(const std::vector<std::string>& lines, const std::string& server)
{
    const std::string key = server + "=";
    for (const std::string& line : lines)
        if (line.starts_with(key))
            return line.substr(key.size());
    return {};
}

bool pin(AppContext& context, std::vector<std::string> lines, const std::string& server, const std::string& fingerprint)
{
    const std::string key = server + "=";
    std::erase_if(lines, [&](const std::string& line) { return line.starts_with(key); });
    lines.push_back(key + fingerprint);
    ViewState& state = context.state;
    if (replaceFile(FileBesideProfiles(state, kTrustFileName), FileBesideProfiles(state, kTrustTemporaryName),
                    JoinFileLines(lines)))
        return true;
    context.desktop.error("The trusted certificate could not be saved to " + std::string(kTrustFileName)
                          + ". It is trusted for this login only.");
    return false;
}

} // namespace

bool AcceptServerCertificate(AppContext& context)
{
    OrnLdapService& service = context.service;
    const OrnTlsPeer* peer = service.OrnGetTlsPeer();
    if (!peer)
        return true;
    ConnectionSettings& connection = context.state.connection;
    const std::string server = connection.host + ":" + std::to_string(connection.port);
    const std::vector<std::string> lines
        = ReadFileLines(FileBesideProfiles(context.state, kTrustFileName)).value_or(std::vector<std::string> {});
    const std::string pinned = pinnedFor(lines, server);
    const bool trustedOnce = connection.trustedOnce == server + "=" + peer->fingerprint;
    const bool samePinned = !pinned.empty() && pinned == peer->fingerprint;
    if (samePinned || trustedOnce || (pinned.empty() && peer->verified)) {
        service.OrnTrustPeer();
        return true;
    }
    CertificateDialog dialog(server, *peer, pinned);
    context.desktop.runModal(dialog);
    switch (dialog.trust()) {
    case CertificateDialog::Trust::Always:
        if (pin(context, lines, server, peer->fingerprint))
            break;
        [[fallthrough]];
    case CertificateDialog::Trust::Once:
        connection.trustedOnce = server + "=" + peer->fingerprint;
        break;
    case CertificateDialog::Trust::None:
        service.DestroyAll();
        return false;
    }
    service.OrnTrustPeer();
    return true;
}
