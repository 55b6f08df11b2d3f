// What the Win32 frame's own tests share: a driven frame recording its events.
#pragma once

#include <gtest/gtest.h>

#include "tests/app/frame_conformance.h"
#include "tests/windows/frame/win32_driver.h"

class Win32FrameTest : public ::testing::Test {
protected:
    void SetUp() override { driver.frame().set_event_sink(&sink); }
    void TearDown() override { driver.frame().set_event_sink(nullptr); }

    FrameHost& frame() { return driver.frame(); }
    HWND handle(Control control) { return driver.control(control); }
    HWND handle(WindowId window) { return driver.window(window); }
    void load(WindowId window)
    {
        ASSERT_TRUE(frame().load_window(window));
        sink.events.clear();
    }

    Win32Driver driver;
    RecordingSink sink;
};
