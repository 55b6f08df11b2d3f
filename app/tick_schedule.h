// When a periodic timer's events fall due: the n-th event after a start at
// start + n x period on a monotonic clock, so lateness never accumulates.
// Every frame arms its native one-shot timer with delay_from() and calls
// fire() when it goes off.
#pragma once

#include <cstdint>

class TickSchedule {
public:
    // Times are milliseconds of a monotonic clock. A period of 0 or less stops.
    void start(std::int64_t now, std::int32_t period);
    void stop() { period_ = 0; }
    bool running() const { return period_ > 0; }
    std::int32_t period() const { return period_; }

    // Milliseconds until the next event is due; 0 when it is due already.
    std::int64_t delay_from(std::int64_t now) const;

    // True when an event is due at now: the caller raises exactly one and
    // arms again with delay_from(now), which is 0 while earlier lateness is
    // being caught up. An event later than suspend_periods periods (the
    // machine slept) counts once and restarts the schedule from now, so a
    // suspend is neither made up nor counted.
    bool fire(std::int64_t now);

    static constexpr std::int64_t suspend_periods = 5;

private:
    std::int64_t start_ = 0;
    std::int64_t raised_ = 0; // events raised since start_
    std::int32_t period_ = 0;
    std::int64_t due() const { return start_ + (raised_ + 1) * period_; }
};
