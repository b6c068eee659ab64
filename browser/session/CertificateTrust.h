// Whether a secured connection may go on: the library checks the server's
// certificate and says how it went; this decides. A verified certificate
// passes; one the user trusted for good for that host and port (OrnTrust.ini,
// beside OrnIni.ini, one "host:port=SHA-256 fingerprint" line each) passes
// while it stays the same; anything else goes to the "Server Certificate"
// dialog, and a certificate that differs from the trusted one never passes
// without it.
#pragma once

struct AppContext;

inline constexpr const char* kTrustFileName = "OrnTrust.ini";
inline constexpr const char* kTrustTemporaryName = "TmpTrust.ini";

// Right after OrnInitialise. True when the session may go on (the service
// is then told to trust the server); false when the user cancelled, and the
// connection is then closed.
bool AcceptServerCertificate(AppContext& context);
