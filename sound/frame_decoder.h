// Turns MPEG audio frames into 16-bit PCM; one implementation per platform.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/mpeg_reader.h"

// One decoder serves one pass through one stream, on one thread.
class FrameDecoder {
public:
    virtual ~FrameDecoder() = default;
    // Prepares for a stream of this format. Called once, before anything
    // else; false when the format cannot be decoded, and the decoder is then
    // only destroyed.
    virtual bool open(const MpegFormat& format, const EncoderGap& gap) = 0;
    // Decodes one whole frame of that stream (frames arrive in stream order)
    // and appends its samples, interleaved, format.channels per instant, to
    // pcm. May append nothing, for a decoder that holds samples back; never
    // blocks beyond the work itself. False on an error after which the stream
    // cannot go on.
    virtual bool decode(const MpegFrame& frame, std::vector<std::int16_t>& pcm) = 0;
    // After the last frame: appends whatever samples are still held back, so
    // that the track is heard to its end. Called at most once; false on error.
    virtual bool finish(std::vector<std::int16_t>& pcm) = 0;
};
