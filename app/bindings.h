// Which handler runs for which event of which control: the wiring as data.
#pragma once

#include <span>

#include "app/program.h"

struct Binding {
    WindowId window;
    std::string_view control; // empty: the window itself
    Event event;
    Handler handler;
};

std::span<const Binding> event_bindings();

// Routes every event the frame raises to its bound handler; events with no
// binding are ignored.
class EventRouter final : public EventSink {
public:
    explicit EventRouter(Program& program) : program_(program) {}
    void on_event(WindowId window, std::string_view control, Event event) override;

private:
    Program& program_;
};
