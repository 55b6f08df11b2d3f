// The main window's clock on the system's own timers, over a minute of wall
// time while another process keeps every processor busy: no event is lost and
// the lateness does not add up.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "app/controls.h"
#include "app/win32/win32_frame.h"

namespace {
std::int64_t milliseconds_now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart * 1000 / frequency.QuadPart;
}

class TickTimes final : public EventSink {
public:
    void on_event(WindowId, std::string_view control, Event event) override
    {
        if (control == main_window::clock.name && event == Event::periodic)
            times.push_back(milliseconds_now());
    }
    std::vector<std::int64_t> times;
};

// Another process that keeps the processors busy; ended when this goes.
class CpuLoad {
public:
    explicit CpuLoad(int seconds)
    {
        wchar_t own[MAX_PATH];
        GetModuleFileNameW(nullptr, own, MAX_PATH);
        std::wstring command = own;
        command.erase(command.find_last_of(L'\\') + 1);
        command = L"\"" + command + L"cpu_load.exe\" " + std::to_wstring(seconds);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
    }
    ~CpuLoad()
    {
        if (!started_)
            return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool started() const { return started_; }
    bool running() const { return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};
} // namespace

TEST(Win32FrameRealTime, SixtySecondsGiveSixtyPeriodicEventsOnALoadedMachine)
{
    constexpr int seconds = 60;
    CpuLoad load(seconds + 5);
    ASSERT_TRUE(load.started());
    auto frame = make_win32_frame();
    TickTimes ticks;
    frame->set_event_sink(&ticks);
    ASSERT_TRUE(frame->load_window(WindowId::main));
    HWND main = frame->window_handle(WindowId::main);

    const std::int64_t start = milliseconds_now();
    set_int(*frame, main_window::clock, Property::period, 1000);
    // Half a period past the sixtieth event, the window is closed from outside.
    std::thread closer([main] {
        std::this_thread::sleep_for(std::chrono::milliseconds(seconds * 1000 + 500));
        PostMessageW(main, WM_CLOSE, 0, 0);
    });
    frame->run_message_loop();
    closer.join();
    const bool loaded_throughout = load.running();
    frame->set_event_sink(nullptr);

    EXPECT_TRUE(loaded_throughout);
    EXPECT_NEAR(static_cast<double>(ticks.times.size()), seconds, 1.0);
    ASSERT_FALSE(ticks.times.empty());
    const std::int64_t last_lateness =
        ticks.times.back() - start - static_cast<std::int64_t>(ticks.times.size()) * 1000;
    std::int64_t worst = 0;
    for (std::size_t i = 0; i < ticks.times.size(); ++i)
        worst = std::max(worst, ticks.times[i] - start - static_cast<std::int64_t>(i + 1) * 1000);
    std::printf("%zu events in %d s; last one %lld ms late, worst %lld ms late\n",
                ticks.times.size(), seconds, static_cast<long long>(last_lateness),
                static_cast<long long>(worst));
    // Lateness does not add up over the minute (a naive periodic timer ends
    // up most of a period behind).
    EXPECT_LT(last_lateness, 250);
}
