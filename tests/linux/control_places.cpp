// Prints where each visible control of a window lies in its client area, from
// the window definitions, so that the system tests can click the real
// program's controls: one line per control, "name left top width height",
// names in GBK. Usage: control_places main|notice|instructions
#include <cstdio>
#include <string_view>

#include "app/window_definition.h"

namespace {
struct Place {
    int left, top;
};

// Controls inside a group box are placed relative to it; walk up to the window.
Place client_place(const WindowDefinition& window, const ControlDefinition& control)
{
    Place place{control.left, control.top};
    for (const ControlDefinition* parent = find_control(window, control.parent); parent;
         parent = find_control(window, parent->parent)) {
        place.left += parent->left;
        place.top += parent->top;
    }
    return place;
}
} // namespace

int main(int argc, char** argv)
{
    const std::string_view which = argc == 2 ? argv[1] : "";
    WindowId id;
    if (which == "main")
        id = WindowId::main;
    else if (which == "notice")
        id = WindowId::notice;
    else if (which == "instructions")
        id = WindowId::instructions;
    else {
        std::fputs("usage: control_places main|notice|instructions\n", stderr);
        return 2;
    }
    const WindowDefinition& window = window_definition(id);
    std::printf("window %d %d %d %d\n", 0, 0, window.width, window.height);
    for (const ControlDefinition& control : window.controls) {
        if (!control.visible)
            continue;
        const Place place = client_place(window, control);
        std::printf("%.*s %d %d %d %d\n", static_cast<int>(control.name.size()),
                    control.name.data(), place.left, place.top, control.width, control.height);
    }
    return 0;
}
