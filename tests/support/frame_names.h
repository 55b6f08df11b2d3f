// Readable names of windows and events for test logs and traces.
#pragma once

#include <string_view>

#include "app/frame.h"

inline std::string_view window_name(WindowId window)
{
    switch (window) {
    case WindowId::main:
        return "main";
    case WindowId::notice:
        return "notice";
    case WindowId::instructions:
        return "instructions";
    }
    return "?";
}

inline std::string_view event_name(Event event)
{
    switch (event) {
    case Event::created:
        return "created";
    case Event::can_be_closed:
        return "can be closed";
    case Event::clicked:
        return "clicked";
    case Event::list_item_selected:
        return "list item selected";
    case Event::periodic:
        return "periodic";
    }
    return "?";
}
