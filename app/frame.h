// The frame contract: the operations through which every handler acts on the
// windows, whatever toolkit realises them.
#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

#include "progress/text.h"

enum class WindowId { main, notice, instructions };

enum class Event { created, can_be_closed, clicked, list_item_selected, periodic };

enum class Property { caption, disabled, checked, current_selection, period };

// A control of a window, by the name its definition gives it. An empty name
// stands for the window itself.
struct Control {
    WindowId window;
    std::string_view name;
};

// Integer for disabled, checked, current selection and period; Text for caption.
using PropertyValue = std::variant<std::int32_t, Text>;

class Frame {
public:
    virtual ~Frame() = default;

    // Never blocks. A caption read gives a new text; an integer property of a
    // control that lacks it reads 0.
    virtual PropertyValue get_property(Control control, Property property) = 0;
    // Takes effect at once: a caption is redrawn, a control greyed, a timer
    // started or stopped. Writing the current period leaves a running timer
    // alone; a negative period is 0.
    virtual void set_property(Control control, Property property, const PropertyValue& value) = 0;
    virtual void move_focus(Control control) = 0;
    // Creates the window from its definition, runs its created handler, shows
    // it, disables the other top-level windows and runs a nested loop (timers
    // keep ticking) until the window is destroyed. Each window's former
    // enabled state is restored when it closes.
    virtual void load_window_modal(WindowId window) = 0;
    // A task-modal box with one OK button and no icon; returns once dismissed.
    // The nested loop keeps delivering timer events.
    virtual void show_message(std::string_view text, std::string_view title) = 0;
    // The item's text, or the empty text for an index outside the list.
    virtual Text combo_item_text(Control combo, std::int32_t index) = 0;
};

// Receives every event the frame raises; the program routes it to a handler.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void on_event(WindowId window, std::string_view control, Event event) = 0;
};

std::int32_t get_int(Frame& frame, Control control, Property property);
Text get_caption(Frame& frame, Control control);
void set_int(Frame& frame, Control control, Property property, std::int32_t value);
void set_caption(Frame& frame, Control control, std::string_view caption);

// What the start sequence needs beyond the handlers' operations.
class FrameHost : public Frame {
public:
    // Every event goes to the sink; none is raised before it is set.
    virtual void set_event_sink(EventSink* sink) = 0;
    // Not modal: creates the window and its controls (raising no event), runs
    // its created handler, then shows it. False when it cannot be created.
    virtual bool load_window(WindowId window) = 0;
    // Runs until the program's last window has been destroyed.
    virtual void run_message_loop() = 0;
};
