// Drives the Win32 frame as a user would, for the frame conformance suite and
// the frame's own tests: real input and window messages to the real windows,
// virtual time for the timers, and answers run inside the frame's own loops.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <windows.h>

#include "app/win32/win32_frame.h"
#include "tests/app/frame_conformance.h"
#include "tests/windows/frame/virtual_timer_clock.h"

class Win32Driver final : public FrameDriver {
public:
    Win32Driver();
    ~Win32Driver() override;
    Win32Driver(const Win32Driver&) = delete;
    Win32Driver& operator=(const Win32Driver&) = delete;

    // What the tests hand the frame's operations to: the real frame, watched
    // so that the answers to modal windows and message boxes run inside them.
    FrameHost& frame() override { return watched_; }
    Win32Frame& native() { return *frame_; }
    HWND window(WindowId id) { return frame_->window_handle(id); }
    HWND control(Control c) { return frame_->control_handle(c); }

    // A mouse click on the control (SendInput).
    void click(Control control) override;
    // Opens the list with a click and clicks the item in it.
    void select_item(Control combo, std::int32_t index) override;
    // WM_SYSCOMMAND SC_CLOSE, as the close box and the system menu send it.
    void request_close(WindowId window) override;
    void advance(std::int32_t milliseconds) override;
    void on_modal(std::function<void(WindowId)> answer) override;
    void on_message(std::function<void(std::string_view, std::string_view)> answer) override;
    void run_loop(std::function<void()> script) override;

    bool is_loaded(WindowId window) override;
    bool is_shown(WindowId window) override;
    bool is_enabled(WindowId window) override;
    void set_window_enabled(WindowId window, bool enabled) override;
    bool loop_end_requested() override;

    // Runs the frame's main loop with each step run inside it in turn, the
    // next once the loop has handled the input of the one before (and gap_ms
    // has passed); afterwards closes what is left, which ends the loop. Steps
    // after one that closed the last window do not run.
    void run_steps(std::vector<std::function<void()>> steps, int gap_ms = 150);
    // The message box shown now, if any.
    HWND message_box();

private:
    class WatchedFrame final : public FrameHost {
    public:
        explicit WatchedFrame(Win32Driver& driver) : driver_(driver) {}
        PropertyValue get_property(Control c, Property p) override;
        void set_property(Control c, Property p, const PropertyValue& v) override;
        void move_focus(Control c) override;
        void load_window_modal(WindowId window) override;
        void show_message(std::string_view text, std::string_view title) override;
        Text combo_item_text(Control combo, std::int32_t index) override;
        void set_event_sink(EventSink* sink) override;
        bool load_window(WindowId window) override;
        void run_message_loop() override;

    private:
        Win32Driver& driver_;
    };

    // Runs the step in whichever loop next dispatches, once ready() holds.
    void post_when(std::function<bool()> ready, std::function<void()> step);
    void close_all_left();
    static LRESULT CALLBACK helper_procedure(HWND, UINT, WPARAM, LPARAM);

    VirtualTimerClock* clock_;
    std::unique_ptr<Win32Frame> frame_;
    WatchedFrame watched_{*this};
    HWND helper_ = nullptr;
    struct Pending {
        std::function<bool()> ready;
        std::function<void()> step;
    };
    std::map<UINT_PTR, Pending> pending_;
    UINT_PTR next_pending_ = 1;
    std::function<void(WindowId)> modal_answer_;
    std::function<void(std::string_view, std::string_view)> message_answer_;
};
