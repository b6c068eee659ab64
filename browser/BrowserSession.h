// What one run of the browser works with: the clock, the registry value,
// the view's state, the LDAP service with its waits on the server, and the
// context that joins them to the desktop. The shell makes one for the window's life; tests make one with a
// fixed clock and a fake desktop. Nothing else assembles these.
#pragma once

#include "browser/AppContext.h"
#include "browser/ViewState.h"
#include "browser/logs/Clock.h"
#include "browser/session/Registry.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnInterface.h"

#include <memory>

class BrowserSession {
public:
    // The view's page size starts as the registry holds it.
    BrowserSession(Desktop& desktop, std::unique_ptr<Clock> clock, Registry registry);
    BrowserSession(const BrowserSession&) = delete;
    BrowserSession& operator=(const BrowserSession&) = delete;

    AppContext& context() { return context_; }
    ViewState& state() { return state_; }
    OrnLdapService& service() { return service_; }

private:
    // In this order so that the connection ends before the state it fills
    // and the waits it may still ask about.
    std::unique_ptr<Clock> clock_;
    Registry registry_;
    ViewState state_;
    ServerWaits waits_;
    OrnLdapService service_;
    AppContext context_;
};
