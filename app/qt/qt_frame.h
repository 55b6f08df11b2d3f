// The Linux program's frame: the window definitions realised with Qt 6
// Widgets. Needs a QApplication alive for as long as the frame.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "app/frame.h"

class QtFrameHost : public FrameHost {
public:
    // The desktop session asks whether it may end: the main window's can be
    // closed handler runs as for a close, and the window stays open. The
    // answer is always yes.
    virtual void query_end_session() = 0;
    // Lets the session's end query and SIGTERM, SIGINT and SIGHUP reach the
    // frame; a signal closes the open modal windows and message boxes, then
    // the main window, as if by their close boxes, so progress is saved and
    // the loop ends. The signals' former handling comes back when the frame
    // is destroyed. One frame at a time.
    virtual void handle_ending_requests() = 0;
    // True once the last window's destruction has asked the loop to end.
    virtual bool loop_end_requested() const = 0;
};

// Milliseconds of a monotonic clock, which the frame's timers keep to.
using MillisecondClock = std::function<std::int64_t()>;

// Without a clock the frame uses the system's monotonic one.
std::unique_ptr<QtFrameHost> make_qt_frame(MillisecondClock clock = {});
