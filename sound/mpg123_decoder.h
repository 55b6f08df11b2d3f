// The MPEG audio decoder on libmpg123, fed one frame at a time; it serves
// both platform programs.
#pragma once

#include <memory>

#include "sound/frame_decoder.h"

std::unique_ptr<FrameDecoder> make_mpg123_decoder();
