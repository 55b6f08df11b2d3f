// Lookup of the window definitions and the placement rule they share.
#include "app/window_definition.h"

#include <stdexcept>

#include "app/window_definitions.h"

const WindowDefinition& window_definition(WindowId window)
{
    // Built once, on first use, and never changed.
    static const WindowDefinition main = make_main_window_definition();
    static const WindowDefinition notice = make_notice_window_definition();
    static const WindowDefinition instructions = make_instructions_window_definition();
    switch (window) {
    case WindowId::main:
        return main;
    case WindowId::notice:
        return notice;
    case WindowId::instructions:
        return instructions;
    }
    throw std::logic_error("unknown window");
}

const ControlDefinition* find_control(const WindowDefinition& window, std::string_view name)
{
    for (const ControlDefinition& control : window.controls)
        if (control.name == name)
            return &control;
    return nullptr;
}

WindowPlace centred_place(const WindowDefinition& window, std::int32_t screen_width,
                          std::int32_t screen_height)
{
    return {(screen_width - window.width) / 2, (screen_height - window.height) / 2};
}
