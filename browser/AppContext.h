// What every command of the core works with: the desktop port, the clock,
// the registry value, the view's state and the one LDAP service.
#pragma once

class Desktop;
class Clock;
class Registry;
struct ViewState;
class OrnLdapService;

struct AppContext {
    Desktop& desktop;
    const Clock& clock;
    const Registry& registry;
    ViewState& state;
    OrnLdapService& service;
};
