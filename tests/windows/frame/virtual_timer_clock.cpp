// Virtual time for the frame's timers.
#include "tests/windows/frame/virtual_timer_clock.h"

#include <algorithm>

void VirtualTimerClock::arm(HWND window, UINT_PTR id, std::int64_t delay)
{
    disarm(window, id);
    armed_.push_back({window, id, now_ + std::max<std::int64_t>(delay, 0)});
}

void VirtualTimerClock::disarm(HWND window, UINT_PTR id)
{
    std::erase_if(armed_, [&](const WakeUp& w) { return w.window == window && w.id == id; });
}

void VirtualTimerClock::advance(std::int64_t milliseconds, const std::function<void()>& pump)
{
    const std::int64_t target = now_ + milliseconds;
    for (;;) {
        auto next = std::min_element(armed_.begin(), armed_.end(),
                                     [](const WakeUp& a, const WakeUp& b) { return a.due < b.due; });
        if (next == armed_.end() || next->due > target)
            break;
        const WakeUp due = *next;
        armed_.erase(next);
        now_ = std::max(now_, due.due);
        PostMessageW(due.window, WM_TIMER, due.id, 0);
        pump();
    }
    now_ = target;
    pump();
}
