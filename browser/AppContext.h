// What every command of the core works with: the desktop port, the clock,
// the registry value, the view's state, the one LDAP service and what its
// waits on the server are for.
#pragma once

class Desktop;
class Clock;
class Registry;
struct ViewState;
class OrnLdapService;
class ServerWaits;

struct AppContext {
    Desktop& desktop;
    const Clock& clock;
    const Registry& registry;
    ViewState& state;
    OrnLdapService& service;
    ServerWaits& waits;
};
