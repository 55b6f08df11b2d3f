// What the Windows program plays with: the track file, the libmpg123 decoder
// and waveOut on the wave mapper.
#include "sound/win32/win32_sound.h"

#include "sound/mpg123_decoder.h"
#include "sound/win32/waveout_output.h"

SoundBackend make_win32_sound_backend()
{
    return {
        .open_file = open_file_source,
        .make_decoder = make_mpg123_decoder,
        .make_output = make_waveout_output,
    };
}
