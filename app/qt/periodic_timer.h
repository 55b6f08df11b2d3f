// A Timer control: periodic events on the deadline rule, so that late
// deliveries never add up.
#pragma once

#include <cstdint>
#include <functional>

#include <QTimer>

#include "app/qt/qt_frame.h"
#include "app/tick_schedule.h"

class PeriodicTimer {
public:
    PeriodicTimer(MillisecondClock clock, std::function<void()> on_periodic);
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // The current period leaves a running timer alone; another one restarts
    // it, the first event one full period later; 0 or less stops it.
    void set_period(std::int32_t period);
    std::int32_t period() const { return schedule_.period(); }
    void stop();

private:
    void arm();
    void on_timeout();

    MillisecondClock clock_;
    std::function<void()> on_periodic_;
    TickSchedule schedule_;
    QTimer timer_;
};
