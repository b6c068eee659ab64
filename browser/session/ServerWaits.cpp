#include "browser/session/ServerWaits.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"

#include <utility>

ServerWaits::ServerWaits(Desktop& desktop, const ConnectionSettings& connection)
    : desktop_(desktop)
    , connection_(connection)
{
}

bool ServerWaits::goOn(int32_t waitedMs)
{
    if (!what_.empty())
        return desktop_.serverWaitGoesOn(what_, waitedMs);
    std::string what = "Waiting for the server";
    if (!connection_.host.empty())
        what += " " + connection_.host;
    return desktop_.serverWaitGoesOn(what, waitedMs);
}

void ServerWaits::waitEnded()
{
    desktop_.serverWaitEnded();
}

WaitingFor::WaitingFor(AppContext& context, std::string what)
    : waits_(context.waits)
    , before_(waits_.what_)
{
    // The command's own name covers the helpers it calls.
    if (before_.empty())
        waits_.what_ = std::move(what);
}

WaitingFor::~WaitingFor()
{
    waits_.what_ = std::move(before_);
}
