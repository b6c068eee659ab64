#include "browser/BrowserSession.h"

#include <utility>

BrowserSession::BrowserSession(Desktop& desktop, std::unique_ptr<Clock> clock, Registry registry)
    : clock_(std::move(clock))
    , registry_(std::move(registry))
    , context_ { desktop, *clock_, registry_, state_, service_ }
{
    state_.pageSize = registry_.readEntries();
}
