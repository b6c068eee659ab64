// A clock that always tells the date and time it was given, for date rules.
#pragma once

#include "browser/logs/Clock.h"

class FixedClock final : public Clock {
public:
    FixedClock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
    {
        set(year, month, day, hour, minute, second);
    }

    void set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
    {
        now_ = {};
        now_.tm_year = year - 1900;
        now_.tm_mon = month - 1;
        now_.tm_mday = day;
        now_.tm_hour = hour;
        now_.tm_min = minute;
        now_.tm_sec = second;
    }

    std::tm now() const override { return now_; }

private:
    std::tm now_{};
};
