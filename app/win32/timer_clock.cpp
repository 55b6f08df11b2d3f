// The system's timer clock: QueryPerformanceCounter for the time, SetTimer
// for the wake-ups (the frame re-arms after each, so it fires once).
#include "app/win32/timer_clock.h"

namespace {
class SystemTimerClock final : public TimerClock {
public:
    SystemTimerClock() { QueryPerformanceFrequency(&frequency_); }

    std::int64_t now() override
    {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        // Whole seconds and the rest apart, so the product cannot overflow.
        const std::int64_t per_second = frequency_.QuadPart;
        return count.QuadPart / per_second * 1000 + count.QuadPart % per_second * 1000 / per_second;
    }

    void arm(HWND window, UINT_PTR id, std::int64_t delay) override
    {
        // SetTimer rounds anything shorter up to its minimum by itself.
        const auto limit = static_cast<std::int64_t>(USER_TIMER_MAXIMUM);
        SetTimer(window, id, static_cast<UINT>(delay < limit ? delay : limit), nullptr);
    }

    void disarm(HWND window, UINT_PTR id) override { KillTimer(window, id); }

private:
    LARGE_INTEGER frequency_{};
};
} // namespace

std::unique_ptr<TimerClock> make_system_timer_clock()
{
    return std::make_unique<SystemTimerClock>();
}
