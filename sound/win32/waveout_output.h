// Audio output through waveOut on the wave mapper (the default device).
#pragma once

#include <memory>

#include "sound/audio_output.h"

std::unique_ptr<AudioOutput> make_waveout_output();

// Opens the wave mapper and closes it again. The first open in a process is
// slow (Wine loads its audio driver then, which takes hundreds of ms); doing
// it early, off the GUI thread, lets the first track start at once.
void warm_up_waveout();
