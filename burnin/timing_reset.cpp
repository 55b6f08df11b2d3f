// Clearing all recorded time of the selected device.
#include "burnin/timing_reset.h"

#include "app/controls.h"
#include "progress/duration_text.h"
#include "progress/progress_handlers.h"

void reset_timing(Program& program)
{
    Frame& frame = program.frame;
    frame.move_focus(main_window::focus_parking);
    reset_progress(program);
    for (Control label : main_window::today_labels)
        set_caption(frame, label, zero_duration_text);
    for (Control label : main_window::total_labels)
        set_caption(frame, label, zero_duration_text);
    // Otherwise the next tick of a running stage writes its old time back.
    program.counters = {};
    Text device = frame.combo_item_text(
        main_window::device_combo,
        get_int(frame, main_window::device_combo, Property::current_selection));
    frame.show_message(concat_text({"【", device, "】计时清除完毕"}), "提示");
}
