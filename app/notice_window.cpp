// The notice window shown before a run with automatic volume: the chosen
// device and stage in red, and the advice to set a normal listening volume.
#include "app/window_definitions.h"

WindowDefinition make_notice_window_definition()
{
    // Both captions are empty here; the window's created handler fills them.
    return {
        .id = WindowId::notice,
        .title = "提示",
        .width = 269,
        .height = 122,
        .minimise_box = false,
        .esc_closes = false,
        .taskbar_button = false,
        .controls = {
            {.name = "标签1", .kind = ControlKind::label, .left = 3, .top = 6, .width = 260,
             .height = 21, .text_colour = red, .alignment = Alignment::centre,
             .wraps = true, .font = FontDefinition{.face = "宋体", .character_height = 12}},
            {.name = "标签2", .kind = ControlKind::label, .left = 3, .top = 24, .width = 260,
             .height = 70, .text_colour = black, .alignment = Alignment::left,
             .wraps = true, .font = FontDefinition{.face = "宋体", .character_height = 16}},
        },
    };
}
