// alsa-lib prints its errors to stderr unless told otherwise; the backends
// report failures through their results instead.
#include "sound/alsa/alsa_quiet.h"

#include <alsa/asoundlib.h>

namespace {

void ignore_message(const char*, int, const char*, int, const char*, ...) {}

} // namespace

void keep_alsa_quiet()
{
    // The handler is alsa-lib's own process-wide setting: set it once.
    [[maybe_unused]] static const bool quiet = (snd_lib_error_set_handler(ignore_message), true);
}
