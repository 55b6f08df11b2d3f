// The Linux program's track player: the looping player on the ALSA backend.
#include "app/qt/alsa_track_player.h"

#include "sound/alsa/alsa_sound.h"

std::unique_ptr<TrackPlayer> make_alsa_track_player()
{
    return std::make_unique<LoopingTrackPlayer>(make_alsa_sound_backend());
}
