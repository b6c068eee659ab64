#include "browser/BrowserSession.h"

#include <utility>

BrowserSession::BrowserSession(Desktop& desktop, std::unique_ptr<Clock> clock, Registry registry)
    : clock_(std::move(clock))
    , registry_(std::move(registry))
    , waits_(desktop, state_.connection)
    , context_ { desktop, *clock_, registry_, state_, service_, waits_ }
{
    state_.pageSize = registry_.readEntries();
    service_.OrnSetWaitHook(&waits_);
}
