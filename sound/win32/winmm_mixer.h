// The master volume through the winmm mixer API.
#pragma once

#include <memory>

#include "sound/master_volume.h"

// Mixer device 0; select_line opens the line by its component type.
std::unique_ptr<MasterVolume> make_winmm_master_volume();
