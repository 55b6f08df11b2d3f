// The Linux program's track player, behind the portable interface only, so
// that main sees neither the player's nor the sound backend's headers.
#pragma once

#include <memory>

#include "sound/track_player.h"

// The looping player on ALSA's default device and the libmpg123 decoder.
std::unique_ptr<TrackPlayer> make_alsa_track_player();
