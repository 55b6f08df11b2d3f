// Starting and stopping a burn-in run.
#pragma once

#include "app/program.h"

// Start button: notice window (auto volume), lock the settings, start the
// clock, resume the counters from the labels, play the track, lower the volume.
void start_run(Program& program);
// Stop button: unlock the settings, silence the track, restore the volume,
// stop the clock and save.
void stop_run(Program& program);
// The main window is closing: as a stop, but the controls stay as they are.
void end_run_on_close(Program& program);
// The auto-volume box toggles itself; the handler only parks the focus.
void auto_volume_clicked(Program& program);
