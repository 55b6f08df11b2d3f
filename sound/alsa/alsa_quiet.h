// alsa-lib prints its errors to stderr unless told otherwise; the backends
// report failures through their results instead.
#pragma once

// Turns alsa-lib's printing off for the process; safe to call from any
// thread, any number of times.
void keep_alsa_quiet();
