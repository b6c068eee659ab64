// Help Topics: the user manual in the current folder, opened with the
// program the desktop associates with it.
#pragma once

struct AppContext;

inline constexpr const char* kManualFileName = "Velmora LDAP Browser User Manual.pdf";

// Any failure is one box titled "Error" and changes nothing.
void HelpTopics(AppContext& context);
