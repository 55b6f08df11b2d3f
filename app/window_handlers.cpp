// The handlers the windows themselves own: creation of the three windows and
// the instructions button.
#include "app/window_handlers.h"

#include "app/controls.h"
#include "progress/progress_handlers.h"
#include "sound/stage_track.h"

void main_window_created(Program& program)
{
    program.volume.select_line(speakers_line);
    load_progress(program);
}

void notice_window_created(Program& program)
{
    Frame& frame = program.frame;
    std::int32_t stage = get_int(frame, main_window::stage_combo, Property::current_selection);
    if (stage >= 0 && stage <= 2)
        program.player.play_track(-1, stage_track_path(program.run_directory, stage));

    Text device = frame.combo_item_text(
        main_window::device_combo,
        get_int(frame, main_window::device_combo, Property::current_selection));
    Text stage_text = frame.combo_item_text(
        main_window::stage_combo, get_int(frame, main_window::stage_combo, Property::current_selection));
    set_caption(frame, notice_window::choice_label,
                concat_text({"设备编号：", device, "    所选阶段：", stage_text}));
    set_caption(frame, notice_window::advice_label, notice_advice_text);
}

void show_instructions(Program& program)
{
    program.frame.move_focus(main_window::focus_parking);
    program.frame.load_window_modal(WindowId::instructions);
}

void instructions_window_created(Program& program)
{
    program.frame.move_focus(instructions_window::cover_label);
}
