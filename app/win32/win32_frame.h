// The Win32 frame: every window definition realised with native windows and
// controls. This header keeps <windows.h> out of its users.
#pragma once

#include <memory>

#include "app/frame.h"

struct HWND__;
class TimerClock;

class Win32Frame : public FrameHost {
public:
    // The native windows, for what looks at them from outside (tests);
    // nullptr when the window is not loaded or the control has no window.
    virtual HWND__* window_handle(WindowId window) const = 0;
    virtual HWND__* control_handle(Control control) const = 0;
};

// Declares the process DPI-aware before it makes the frame, so call it before
// any window exists. Periodic timers run on the system's clock.
std::unique_ptr<Win32Frame> make_win32_frame();
// The same with the timers on another clock (tests move time themselves).
std::unique_ptr<Win32Frame> make_win32_frame(std::unique_ptr<TimerClock> clock);
