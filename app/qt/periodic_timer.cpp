// A precise one-shot QTimer, re-armed after every expiry for the next deadline.
#include "app/qt/periodic_timer.h"

#include <algorithm>
#include <utility>

PeriodicTimer::PeriodicTimer(MillisecondClock clock, std::function<void()> on_periodic)
    : clock_(std::move(clock)), on_periodic_(std::move(on_periodic))
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { on_timeout(); });
}

void PeriodicTimer::set_period(std::int32_t period)
{
    period = std::max(period, 0);
    if (period == schedule_.period())
        return;
    if (period == 0) {
        stop();
        return;
    }
    schedule_.start(clock_(), period);
    arm();
}

void PeriodicTimer::stop()
{
    schedule_.stop();
    timer_.stop();
}

void PeriodicTimer::arm()
{
    auto delay = schedule_.delay_from(clock_());
    timer_.start(static_cast<int>(std::min<std::int64_t>(delay, INT32_MAX)));
}

void PeriodicTimer::on_timeout()
{
    if (!schedule_.running())
        return;
    // Armed again before the handler runs, so a handler that writes a new
    // period, or waits in a nested loop, finds the timer in its next state.
    bool due = schedule_.fire(clock_());
    arm();
    if (due)
        on_periodic_();
}
