// The master volume on ALSA's simple mixer.
#pragma once

#include <memory>
#include <string>

#include "sound/master_volume.h"

// The program uses the "default" control device, which follows the desktop's
// sound server through its ALSA plugin; tests name others.
std::unique_ptr<MasterVolume> make_alsa_master_volume(std::string card = "default");
