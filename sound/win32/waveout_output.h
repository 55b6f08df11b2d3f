// Audio output through waveOut on the wave mapper (the default device).
#pragma once

#include <memory>

#include "sound/audio_output.h"

std::unique_ptr<AudioOutput> make_waveout_output();
