// What the Linux program plays and sets volumes with: ALSA's default device
// and mixer, and the libmpg123 decoder.
#pragma once

#include "sound/alsa/alsa_mixer.h"
#include "sound/looping_track_player.h"

SoundBackend make_alsa_sound_backend();
