// Where the frame's periodic timers take the time and their wake-ups from:
// the system's monotonic clock and one-shot window timers, or a test's own.
#pragma once

#include <cstdint>
#include <memory>

#include <windows.h>

class TimerClock {
public:
    virtual ~TimerClock() = default;
    // Milliseconds of a monotonic clock.
    virtual std::int64_t now() = 0;
    // WM_TIMER with this id reaches the window once, about delay ms from now,
    // and not before; arming the id again replaces the earlier wake-up.
    virtual void arm(HWND window, UINT_PTR id, std::int64_t delay) = 0;
    virtual void disarm(HWND window, UINT_PTR id) = 0;
};

std::unique_ptr<TimerClock> make_system_timer_clock();
