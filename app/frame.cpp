// Typed shortcuts over the frame's property operations.
#include "app/frame.h"

std::int32_t get_int(Frame& frame, Control control, Property property)
{
    auto value = frame.get_property(control, property);
    auto* n = std::get_if<std::int32_t>(&value);
    return n ? *n : 0;
}

Text get_caption(Frame& frame, Control control)
{
    auto value = frame.get_property(control, Property::caption);
    auto* t = std::get_if<Text>(&value);
    return t ? *t : Text{};
}

void set_int(Frame& frame, Control control, Property property, std::int32_t value)
{
    frame.set_property(control, property, value);
}

void set_caption(Frame& frame, Control control, std::string_view caption)
{
    frame.set_property(control, Property::caption, Text(caption));
}
