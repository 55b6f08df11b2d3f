// A timer clock that tests move by hand: its time stands still until advanced,
// and an armed wake-up is a real WM_TIMER posted to the window when due.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "app/win32/timer_clock.h"

class VirtualTimerClock final : public TimerClock {
public:
    std::int64_t now() override { return now_; }
    void arm(HWND window, UINT_PTR id, std::int64_t delay) override;
    void disarm(HWND window, UINT_PTR id) override;

    // Moves the time on by milliseconds: each wake-up due on the way is posted
    // at its own time and handled (by pump) before time moves further.
    void advance(std::int64_t milliseconds, const std::function<void()>& pump);

private:
    struct WakeUp {
        HWND window;
        UINT_PTR id;
        std::int64_t due;
    };
    std::int64_t now_ = 1'000'000;
    std::vector<WakeUp> armed_;
};
