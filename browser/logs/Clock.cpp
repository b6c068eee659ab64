#include "browser/logs/Clock.h"

std::tm SystemClock::now() const
{
    std::time_t seconds = std::time(nullptr);
    std::tm local {};
    localtime_r(&seconds, &local);
    return local;
}
