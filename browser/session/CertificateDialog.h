// The "Server Certificate" dialog: a secured connection whose certificate
// failed its checks, or differs from the one trusted for that server. It
// shows the certificate and why it is in doubt; the user trusts it for this
// login, trusts it for good, or cancels the login.
#pragma once

#include "browser/DialogModel.h"

#include <string>

struct OrnTlsPeer;

class CertificateDialog : public DialogModel {
public:
    enum class Trust { None, Once, Always };

    // server: "host:port"; pinned: the fingerprint trusted for it before,
    // empty when none was.
    CertificateDialog(const std::string& server, const OrnTlsPeer& peer, const std::string& pinned);

    static constexpr const char* kResource = "Server Certificate";
    std::string resourceName() const override { return kResource; }

    // Why the certificate is in doubt; a changed one names both fingerprints.
    const std::string& warning() const { return warning_; }
    const std::string& subject() const { return subject_; }
    const std::string& issuer() const { return issuer_; }
    const std::string& validity() const { return validity_; }
    const std::string& fingerprint() const { return fingerprint_; }

    void trustOnce();
    void trustAlways();
    Trust trust() const { return trust_; }

private:
    std::string warning_;
    std::string subject_;
    std::string issuer_;
    std::string validity_;
    std::string fingerprint_;
    Trust trust_ = Trust::None;
};
