// The track player: plays an MPEG track through a platform's decoder and
// output, pass after pass, on a thread of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <thread> // the duration types; <chrono> itself cannot be built as GBK

#include "sound/audio_output.h"
#include "sound/byte_source.h"
#include "sound/frame_decoder.h"
#include "sound/track_player.h"

// What a platform gives the player. Each is called on the playing thread,
// once per pass; a null result (or an empty function) fails that pass.
struct SoundBackend {
    std::function<std::unique_ptr<ByteSource>(std::string_view path)> open_file;
    std::function<std::unique_ptr<FrameDecoder>()> make_decoder;
    std::function<std::unique_ptr<AudioOutput>()> make_output;
};

// Reads a monotonic clock; the player times its passes with it.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

// How long the player waits before the pass after one that was not heard (a
// missing file, a device that does not open, a track that fails at once, an
// output that takes audio faster than it can play), so that such a track is
// retried now and then rather than in a tight loop.
struct RetryDelays {
    std::chrono::milliseconds first{250};
    std::chrono::milliseconds longest{8000};
};

// The wait before the next pass: none after a pass that was heard, else
// first, then twice the previous wait, up to longest.
std::chrono::milliseconds next_retry_delay(std::chrono::milliseconds previous, bool heard,
                                           const RetryDelays& delays);

// A pass was heard when it played audio and lasted at least half as long as
// that audio: an output blocks once its queue is full, so only an output
// that takes audio without playing it finishes sooner. The margin leaves
// room for the audio still queued when a pass fails midway, and released
// unplayed. A pass that was heard is followed straight away by the next,
// however early it failed.
bool pass_was_heard(std::uint64_t samples_written, const PcmFormat& format, std::chrono::nanoseconds took);

// Requests come from one thread (the GUI thread); playing happens on the
// player's own thread, which the next request or destruction stops and joins.
class LoopingTrackPlayer final : public TrackPlayer {
public:
    explicit LoopingTrackPlayer(SoundBackend backend, RetryDelays delays = {},
                                MonotonicClock clock = std::chrono::steady_clock::now);
    // Stops the track as play_track(0, "") does.
    ~LoopingTrackPlayer() override;
    LoopingTrackPlayer(const LoopingTrackPlayer&) = delete;
    LoopingTrackPlayer& operator=(const LoopingTrackPlayer&) = delete;

    // Each pass opens the file, a decoder and an output afresh, plays every
    // frame, drains, and releases them all; a failure ends the pass as the
    // track's end does. Stopping resets the output at once, ends a search
    // through the file within a few KiB, and waits only for the playing
    // thread to end.
    void play_track(std::int32_t count, std::string_view path) override;

private:
    class Player;
    SoundBackend backend_;
    RetryDelays delays_;
    MonotonicClock clock_;
    std::unique_ptr<Player> player_;
};
