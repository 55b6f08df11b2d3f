// The frame contract as a test suite that every frame implementation runs:
// each one supplies a driver that acts as the user and looks at the windows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/frame.h"

// What a test needs beyond the frame itself. A real frame's driver sends
// input messages, pumps its loop for the time asked and answers nested loops
// from inside them; the headless one calls straight through.
class FrameDriver {
public:
    virtual ~FrameDriver() = default;
    virtual FrameHost& frame() = 0;

    // Acting as the user.
    virtual void click(Control control) = 0;
    virtual void select_item(Control combo, std::int32_t index) = 0;
    virtual void request_close(WindowId window) = 0;
    // Lets this much time pass with the loop running, timers delivering.
    virtual void advance(std::int32_t milliseconds) = 0;

    // Answers of the nested and main loops. Each callback runs inside the
    // loop it belongs to; a modal window the callback leaves open is closed
    // by the driver, and returning from a message callback dismisses the box.
    virtual void on_modal(std::function<void(WindowId)> answer) = 0;
    virtual void on_message(
        std::function<void(std::string_view text, std::string_view title)> answer) = 0;
    // Runs the message loop with the script running inside it; returns when
    // the loop has ended. The driver closes what the script leaves open.
    virtual void run_loop(std::function<void()> script) = 0;

    // Looking at the windows.
    virtual bool is_loaded(WindowId window) = 0;
    virtual bool is_shown(WindowId window) = 0;
    virtual bool is_enabled(WindowId window) = 0;
    virtual void set_window_enabled(WindowId window, bool enabled) = 0;
    // True once the last window's destruction has asked the loop to end.
    virtual bool loop_end_requested() = 0;
};

struct FrameImplementation {
    std::string name;
    std::function<std::unique_ptr<FrameDriver>()> make_driver;
};

// Records every event the frame raises as "window control event" text, and
// lets a test look at the frame from inside a handler.
class RecordingSink final : public EventSink {
public:
    void on_event(WindowId window, std::string_view control, Event event) override;
    std::vector<std::string> events;
    std::function<void(WindowId, std::string_view, Event)> on_each;
};

class AppFrameConformance : public ::testing::TestWithParam<FrameImplementation> {
protected:
    void SetUp() override;
    void TearDown() override;

    FrameDriver& driver() { return *driver_; }
    FrameHost& frame() { return driver_->frame(); }
    // Loads the main window and clears the record of its loading.
    void load_main();
    int count_events(std::string_view text) const;

    RecordingSink sink;

private:
    std::unique_ptr<FrameDriver> driver_;
};

// Names the implementation in test output instead of dumping its bytes.
void PrintTo(const FrameImplementation& implementation, std::ostream* out);
std::string conformance_case_name(const ::testing::TestParamInfo<FrameImplementation>& info);
