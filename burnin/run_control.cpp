// Starting and stopping a burn-in run.
#include "burnin/run_control.h"

#include "app/controls.h"
#include "progress/duration_text.h"
#include "progress/progress_handlers.h"
#include "sound/stage_track.h"
#include "sound/volume_scaling.h"

using namespace main_window;

namespace {

bool auto_volume_on(Frame& frame) { return get_int(frame, auto_volume_box, Property::checked) == 1; }

void set_disabled(Frame& frame, Control control, bool disabled)
{
    set_int(frame, control, Property::disabled, disabled ? 1 : 0);
}

// Saves the volume the user listens at and lowers it to the stage's share.
// A closed or failing mixer reads as -1: then nothing is touched, so that a
// stop cannot later write a volume nobody read.
void lower_volume(Program& program, std::int32_t stage)
{
    std::int32_t left = -1, right = -1;
    program.volume.get_volume(left, right);
    if (left == -1)
        return;
    program.saved_volume = {left, right, true};
    std::int32_t share = stage_share(stage);
    program.volume.set_volume(scale_volume(left, share), scale_volume(right, share));
}

void restore_volume(Program& program)
{
    SavedVolume& saved = program.saved_volume;
    if (!auto_volume_on(program.frame) || !saved.to_restore)
        return;
    program.volume.set_volume(saved.left, saved.right);
    saved.to_restore = false;
}

void begin_stage(Program& program, std::int32_t stage)
{
    Frame& frame = program.frame;
    RunCounters& c = program.counters;
    Duration total = parse_duration(get_caption(frame, total_labels[stage]));
    c.aggregate_hours = total.hours;
    c.aggregate_minutes = total.minutes;
    c.aggregate_seconds = total.seconds;

    Duration today{};
    if (stored_date_is_today(program))
        today = parse_duration(get_caption(frame, today_labels[stage]));
    c.today_hours = today.hours;
    c.today_minutes = today.minutes;
    c.today_seconds = today.seconds;

    program.player.play_track(-1, stage_track_path(program.run_directory, stage));
    if (auto_volume_on(frame))
        lower_volume(program, stage);
}

} // namespace

void start_run(Program& program)
{
    Frame& frame = program.frame;
    if (auto_volume_on(frame))
        frame.load_window_modal(WindowId::notice);
    frame.move_focus(focus_parking);
    set_disabled(frame, stage_combo, true);
    set_disabled(frame, device_combo, true);
    set_disabled(frame, auto_volume_box, true);
    set_int(frame, clock, Property::period, 1000);
    program.ticks_since_checkpoint = 0;
    for (std::int32_t stage = 0; stage < 3; ++stage)
        if (get_int(frame, stage_combo, Property::current_selection) == stage)
            begin_stage(program, stage);
    set_disabled(frame, start_button, true);
    frame.move_focus(focus_parking);
}

void stop_run(Program& program)
{
    Frame& frame = program.frame;
    set_disabled(frame, start_button, false);
    set_disabled(frame, auto_volume_box, false);
    frame.move_focus(focus_parking);
    program.player.play_track(0, "");
    restore_volume(program);
    set_int(frame, clock, Property::period, 0);
    set_disabled(frame, stage_combo, false);
    set_disabled(frame, device_combo, false);
    save_progress(program);
}

void end_run_on_close(Program& program)
{
    program.player.play_track(0, "");
    restore_volume(program);
    set_int(program.frame, clock, Property::period, 0);
    save_progress(program);
}

void auto_volume_clicked(Program& program) { program.frame.move_focus(focus_parking); }
