// The handlers' properties read from and written to the native windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <windows.h>

#include "app/frame.h"
#include "app/win32/frame_window.h"

// A program error (a name that does not exist, a property a kind lacks).
[[noreturn]] void frame_misuse(std::string what, std::string_view name);

std::int32_t property_int(const PropertyValue& value);

// The window itself: caption (its title) and disabled.
PropertyValue read_window_property(HWND window, Property property);
void write_window_property(HWND window, Property property, const PropertyValue& value);

// A property the control's kind lacks reads 0.
PropertyValue read_control_property(const ControlSlot& control, Property property);
// Every property but a timer's period, which the frame's timers keep; writing
// one the control's kind lacks is a misuse. Takes effect at once.
void write_control_property(ControlSlot& control, Property property, const PropertyValue& value);

// The item's text, or the empty text for an index outside the list.
Text combo_item(HWND combo, std::int32_t index);
