// One loaded control of the Qt frame and its properties as the handlers
// read and write them.
#pragma once

#include <cstdint>
#include <memory>

#include "app/frame.h"
#include "app/qt/periodic_timer.h"
#include "app/qt/window_builder.h"
#include "progress/text.h"

struct ControlSlot {
    BuiltControl built;
    Text caption;                         // as last written, byte for byte
    bool disabled = false;                // for a control with no widget
    std::unique_ptr<PeriodicTimer> timer; // timers only
};

// A property the control's kind lacks reads 0 (a combo box's caption is its
// selected item); writing it, or writing a value of the wrong type, does nothing.
PropertyValue read_property(const ControlSlot& slot, Property property);
void write_property(ControlSlot& slot, Property property, const PropertyValue& value);
// A combo box item's text, or the empty text for an index outside the list.
Text item_text(const ControlSlot& combo, std::int32_t index);
