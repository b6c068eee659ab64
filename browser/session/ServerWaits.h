// The core's side of a wait on the server: the library asks whether to go
// on, and this asks the desktop, naming what the running command waits for.
#pragma once

#include "ldap/OrnWait.h"

#include <string>

class Desktop;
struct AppContext;
struct ConnectionSettings;

class ServerWaits final : public OrnWaitHook {
public:
    ServerWaits(Desktop& desktop, const ConnectionSettings& connection);
    ServerWaits(const ServerWaits&) = delete;
    ServerWaits& operator=(const ServerWaits&) = delete;

    bool goOn(int32_t waitedMs) override;
    void waitEnded() override;

private:
    friend class WaitingFor;

    Desktop& desktop_;
    const ConnectionSettings& connection_;
    std::string what_; // empty while no command has named its wait
};

// Names what the waits on the server are for, for as long as it lives,
// unless an outer one already does.
class WaitingFor {
public:
    WaitingFor(AppContext& context, std::string what);
    ~WaitingFor();
    WaitingFor(const WaitingFor&) = delete;
    WaitingFor& operator=(const WaitingFor&) = delete;

private:
    ServerWaits& waits_;
    std::string before_;
};
