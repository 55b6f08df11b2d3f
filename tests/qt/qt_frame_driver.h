// Drives the Qt frame as a user would: mouse clicks on the real widgets and
// close requests through the window system, on a clock that advances only
// when the test lets time pass.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QElapsedTimer>
#include <QObject>
#include <QWidget>

#include "app/qt/qt_frame.h"
#include "tests/app/frame_conformance.h"

// The control whose name reads `name` (UTF-8), with its definition's own
// GBK name; the lookup fails the test when there is none.
Control control_named(WindowId window, const char* name);

// Milliseconds that run with real time inside QtFrameDriver::advance and
// stand still elsewhere, so a test sees timer events at exact times however
// long the window system takes in between.
class SteppedClock {
public:
    SteppedClock() { real_.start(); }
    std::int64_t now() const;
    // Lets the clock run from its present value up to target.
    void run_to(std::int64_t target);
    void stop() { running_ = false; }
    std::int64_t target() const { return target_; }

private:
    QElapsedTimer real_;
    std::int64_t target_ = 0;
    std::int64_t offset_ = 0;
    bool running_ = false;
};

class QtFrameDriver final : public FrameDriver {
public:
    // A frame on the stepped clock, or, with real_time, on the system's clock.
    explicit QtFrameDriver(bool real_time = false);
    ~QtFrameDriver() override;

    FrameHost& frame() override { return *frame_; }
    QtFrameHost& qt_frame() { return *frame_; }

    void click(Control control) override;
    void select_item(Control combo, std::int32_t index) override;
    void request_close(WindowId window) override;
    void advance(std::int32_t milliseconds) override;

    void on_modal(std::function<void(WindowId)> answer) override;
    void on_message(std::function<void(std::string_view, std::string_view)> answer) override;
    void run_loop(std::function<void()> script) override;

    bool is_loaded(WindowId window) override { return window_widget(window) != nullptr; }
    bool is_shown(WindowId window) override;
    bool is_enabled(WindowId window) override;
    void set_window_enabled(WindowId window, bool enabled) override;
    bool loop_end_requested() override { return frame_->loop_end_requested(); }

    // The loaded window's widget, or nullptr.
    static QWidget* window_widget(WindowId window);
    // A control's widget; fails the test when there is none.
    static QWidget* control_widget(Control control);
    // Waits until the window is on the screen and active.
    static bool wait_until_active(QWidget* window);

private:
    class ShowWatcher;
    void answer_modal(WindowId window);
    void answer_message(QWidget* box);

    SteppedClock clock_;
    std::unique_ptr<QtFrameHost> frame_;
    std::unique_ptr<ShowWatcher> watcher_;
    std::function<void(WindowId)> modal_answer_;
    std::function<void(std::string_view, std::string_view)> message_answer_;
};
