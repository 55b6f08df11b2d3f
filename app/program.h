// The program-wide state every handler is handed: the windows, the sound, the
// clock, and the values that live as long as the program.
#pragma once

#include <cstdint>

#include "app/frame.h"
#include "progress/date_text.h"
#include "progress/text.h"
#include "sound/master_volume.h"
#include "sound/track_player.h"

// Today's and the cumulative time of the running stage.
struct RunCounters {
    std::int32_t today_hours = 0, today_minutes = 0, today_seconds = 0;
    std::int32_t aggregate_hours = 0, aggregate_minutes = 0, aggregate_seconds = 0;
    friend bool operator==(const RunCounters&, const RunCounters&) = default;
};

// The master volume a run found, to put back at its stop. Only a run that
// read it and lowered it leaves something to restore, and only once.
struct SavedVolume {
    std::int32_t left = 0, right = 0;
    bool to_restore = false;
};

struct Program {
    Frame& frame;
    TrackPlayer& player;
    MasterVolume& volume;
    const Clock& clock;
    Text run_directory;
    Text progress_file_name;
    RunCounters counters;
    SavedVolume saved_volume;
    // Clock ticks since the run started or last saved its progress.
    std::int32_t ticks_since_checkpoint = 0;
};

using Handler = void (*)(Program&);
