// Local date and time, injectable so that date rules are tested on fixed dates.
#pragma once

#include <ctime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::tm now() const = 0;
};

class SystemClock final : public Clock {
public:
    std::tm now() const override;
};
