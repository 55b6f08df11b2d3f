// Plays 16-bit PCM on the default audio device; one implementation per
// platform.
#pragma once

#include <cstdint>
#include <span>

struct PcmFormat {
    int sample_rate; // Hz
    int channels;    // 1 or 2, interleaved
    friend bool operator==(const PcmFormat&, const PcmFormat&) = default;
};

// One output serves one pass: open, writes, drain, close, in that order, all
// on the playing thread. Only reset comes from another thread.
class AudioOutput {
public:
    // Closes the device if close was not called.
    virtual ~AudioOutput() = default;
    // Opens the default device for this format. Called once; false when no
    // device takes it, and then only close or destruction follow.
    virtual bool open(const PcmFormat& format) = 0;
    // Queues whole sample frames for playing. Blocks while the device's queue
    // is full, and only then. False on a device error, or once reset has been
    // called: the audio is then dropped.
    virtual bool write(std::span<const std::int16_t> pcm) = 0;
    // Blocks until everything queued has been played out. False on a device
    // error, or once reset has been called.
    virtual bool drain() = 0;
    // Stops at once: drops the queued audio (no fade, no drain), wakes a write
    // or drain blocked on the playing thread so that it returns false, and
    // makes every later write and drain return false. Called from any thread,
    // only between a successful open and close, and any number of times; it
    // returns without waiting for the device to play anything.
    virtual void reset() = 0;
    // Releases the device. Does not wait for queued audio: drain first to
    // hear it. Harmless when the output is not open or already closed.
    virtual void close() = 0;
};
