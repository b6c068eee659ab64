#include "browser/session/CertificateDialog.h"

#include "ldap/OrnTls.h"

CertificateDialog::CertificateDialog(const std::string& server, const OrnTlsPeer& peer, const std::string& pinned)
    : subject_(peer.subject), issuer_(peer.issuer), validity_(peer.notBefore + " to " + peer.notAfter),
      fingerprint_(peer.fingerprint)
{
    if (!pinned.empty())
        warning_ = "The certificate of " + server + " has changed since you trusted it. The connection is refused "
                   "unless you trust the new certificate.\nTrusted before: " + pinned + "\nPresented now: "
                   + peer.fingerprint;
    else
        warning_ = "The certificate of " + server + " cannot be verified: " + peer.reason + ".";
}

void CertificateDialog::trustOnce()
{
    trust_ = Trust::Once;
    end(DialogResult::Ok);
}

void CertificateDialog::trustAlways()
{
    trust_ = Trust::Always;
    end(DialogResult::Ok);
}
