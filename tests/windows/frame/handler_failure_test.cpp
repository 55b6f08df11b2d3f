// A handler that throws inside a nested loop: the exception reaches the
// caller of the loop instead of crossing the system's code, and no window is
// left disabled behind it.
#include <stdexcept>

#include "app/controls.h"
#include "tests/windows/frame/frame_test_fixture.h"

namespace {
struct HandlerFailure : std::runtime_error {
    HandlerFailure() : std::runtime_error("handler failed") {}
};
} // namespace

TEST_F(Win32FrameTest, AHandlerFailingInsideAModalWindowEndsItAndEnablesTheOthersAgain)
{
    load(WindowId::main);
    set_int(frame(), main_window::clock, Property::period, 1000);
    sink.on_each = [](WindowId, std::string_view control, Event event) {
        if (control == main_window::clock.name && event == Event::periodic)
            throw HandlerFailure();
    };
    driver.on_modal([&](WindowId) { driver.advance(1000); });
    EXPECT_THROW(frame().load_window_modal(WindowId::instructions), HandlerFailure);
    EXPECT_FALSE(driver.is_loaded(WindowId::instructions));
    EXPECT_TRUE(driver.is_enabled(WindowId::main));
}

TEST_F(Win32FrameTest, AHandlerFailingInTheMainLoopEndsTheLoopWithItsException)
{
    load(WindowId::main);
    sink.on_each = [](WindowId, std::string_view, Event event) {
        if (event == Event::clicked)
            throw HandlerFailure();
    };
    EXPECT_THROW(driver.run_steps({[&] { driver.click(main_window::start_button); }}),
                 HandlerFailure);
}
