// How a profile's connection is secured, and where a profile line keeps it.
//
// The mode rides in the host field as a URL scheme: "ldaps://host" or
// "starttls://host", and a plain host as before. Builds that know nothing of
// it read such a line without complaint and fail to resolve the host, so a
// secured profile is never used in the clear by accident; a fifth field
// would instead run into the user ID on their reading.
#pragma once

#include "browser/DialogControls.h"

#include <cstdint>
#include <string>
#include <string_view>

enum class ConnectionSecurity { Plain, Ldaps, StartTls };

// The dialogs' Security box: "None", "LDAPS", "StartTLS", one chosen.
ChoiceList SecurityChoice(ConnectionSecurity security);
ConnectionSecurity ChosenSecurity(const ChoiceList& box);

// "" for a plain connection, else "LDAPS" or "StartTLS".
const char* SecurityName(ConnectionSecurity security);

// 389, or 636 for LDAPS.
int32_t DefaultPort(ConnectionSecurity security);

// The host field of a profile line.
std::string ProfileHost(ConnectionSecurity security, const std::string& host);

// Splits a profile's host field into its mode and the host; a field without
// one of the two schemes is a plain host, whatever it holds.
ConnectionSecurity SplitProfileHost(std::string_view field, std::string* host);
