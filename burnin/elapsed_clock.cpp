// The one-second clock of a burn-in run.
#include "burnin/elapsed_clock.h"

#include "app/controls.h"
#include "progress/duration_text.h"
#include "progress/progress_handlers.h"

namespace {

// Counters resumed from an edited file may sit at the top of the range; they
// wrap instead of overflowing.
void add_one(std::int32_t& n)
{
    n = static_cast<std::int32_t>(static_cast<std::uint32_t>(n) + 1u);
}

// A unit past 59 restarts at 0 and carries exactly one, whatever its surplus.
void carry(std::int32_t& unit, std::int32_t& next)
{
    if (unit > 59) {
        unit = 0;
        add_one(next);
    }
}

// Every full minute of a run is saved as a stop would save it, so that a
// crash or a power cut loses at most the last minute.
void checkpoint(Program& program)
{
    if (++program.ticks_since_checkpoint < 60)
        return;
    program.ticks_since_checkpoint = 0;
    save_progress(program);
}

} // namespace

void clock_tick(Program& program)
{
    RunCounters& c = program.counters;
    add_one(c.today_seconds);
    add_one(c.aggregate_seconds);
    carry(c.today_seconds, c.today_minutes);
    carry(c.today_minutes, c.today_hours);
    carry(c.aggregate_seconds, c.aggregate_minutes);
    carry(c.aggregate_minutes, c.aggregate_hours);

    Frame& frame = program.frame;
    for (std::int32_t stage = 0; stage < 3; ++stage) {
        if (get_int(frame, main_window::stage_combo, Property::current_selection) != stage)
            continue;
        set_caption(frame, main_window::today_labels[stage],
                    format_duration(c.today_hours, c.today_minutes, c.today_seconds));
        set_caption(frame, main_window::total_labels[stage],
                    format_duration(c.aggregate_hours, c.aggregate_minutes, c.aggregate_seconds));
    }
    checkpoint(program);
}
