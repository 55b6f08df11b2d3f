// When a periodic timer's events fall due.
#include "app/tick_schedule.h"

void TickSchedule::start(std::int64_t now, std::int32_t period)
{
    start_ = now;
    raised_ = 0;
    period_ = period > 0 ? period : 0;
}

std::int64_t TickSchedule::delay_from(std::int64_t now) const
{
    std::int64_t left = due() - now;
    return left > 0 ? left : 0;
}

bool TickSchedule::fire(std::int64_t now)
{
    if (!running() || now < due())
        return false;
    if (now - due() > suspend_periods * period_)
        start(now, period_);
    else
        ++raised_;
    return true;
}
