// What the Windows program plays and sets volumes with: the track file, the
// libmpg123 decoder, waveOut on the wave mapper, and the winmm mixer.
#pragma once

#include "sound/looping_track_player.h"
#include "sound/win32/winmm_mixer.h"

SoundBackend make_win32_sound_backend();
