// What the Linux program plays with: the track file, the libmpg123 decoder
// and ALSA's default device.
#include "sound/alsa/alsa_sound.h"

#include "sound/alsa/alsa_output.h"
#include "sound/mpg123_decoder.h"

SoundBackend make_alsa_sound_backend()
{
    return {
        .open_file = open_file_source,
        .make_decoder = make_mpg123_decoder,
        .make_output = [] { return make_alsa_output(); },
    };
}
