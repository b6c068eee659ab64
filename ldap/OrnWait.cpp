#include "ldap/OrnWait.h"

OrnWaiting::~OrnWaiting()
{
    if (asked_)
        hook_->waitEnded();
}

bool OrnWaiting::goOn()
{
    if (!hook_)
        return true;
    asked_ = true;
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started_).count();
    return hook_->goOn(static_cast<int32_t>(waited));
}
