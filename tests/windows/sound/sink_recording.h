// The recording of the harness's null sink that the calling script is making
// (16-bit stereo 44.1 kHz WAV), read from Windows through Wine's drive Z:.
// Its length so far is the clock the sound tests time events against.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/wav_samples.h"

#include <sys/stat.h>

inline constexpr int recording_rate = 44100;
inline constexpr int recording_channels = 2;

class SinkRecording {
public:
    // The Windows path of the recording, from BURNIN_RECORDING.
    SinkRecording()
    {
        const char* path = std::getenv("BURNIN_RECORDING");
        path_ = path ? path : "";
    }

    bool available() const { return !path_.empty() && position() > 0; }

    // Instants recorded so far; the WAV header takes 44 bytes while recording.
    std::int64_t position() const
    {
        struct _stat64 st {};
        if (_stat64(path_.c_str(), &st) != 0 || st.st_size <= 44)
            return 0;
        return (st.st_size - 44) / (2 * recording_channels);
    }

    // Waits until the recording holds this many instants more, and returns
    // the left channel of everything recorded so far.
    std::vector<std::int16_t> left_channel_after(std::int64_t instants) const
    {
        std::int64_t until = position() + instants;
        while (position() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return wav_left_channel(path_);
    }

private:
    std::string path_;
};

inline double instants_to_ms(std::int64_t instants) { return instants * 1000.0 / recording_rate; }

// A sample louder than this (about -54 dBFS) is sound; the null sink's
// silence is exact zeros.
inline constexpr int sound_threshold = 64;

// The first instant at or after from that holds sound; -1 when none does.
inline std::int64_t first_sound(const std::vector<std::int16_t>& left, std::int64_t from)
{
    for (std::size_t i = static_cast<std::size_t>(from); i < left.size(); ++i)
        if (std::abs(left[i]) > sound_threshold)
            return static_cast<std::int64_t>(i);
    return -1;
}

// The instant after the last sound in [from, until) (from itself when there
// is none): where the silence begins that lasts until then.
inline std::int64_t silence_from(const std::vector<std::int16_t>& left, std::int64_t from, std::int64_t until)
{
    std::size_t end = std::min(left.size(), static_cast<std::size_t>(until));
    for (std::size_t i = end; i > static_cast<std::size_t>(from); --i)
        if (std::abs(left[i - 1]) > sound_threshold)
            return static_cast<std::int64_t>(i);
    return from;
}

inline std::int64_t silence_from(const std::vector<std::int16_t>& left, std::int64_t from)
{
    return silence_from(left, from, static_cast<std::int64_t>(left.size()));
}

// The first pause of at least 2 ms that begins 100 ms or more after from:
// where it starts and where sound comes back (-1 each when there is none).
struct Pause {
    std::int64_t from = -1, to = -1;
};

inline Pause first_pause(const std::vector<std::int16_t>& left, std::int64_t from)
{
    std::int64_t run = 0;
    for (std::int64_t i = from + recording_rate / 10; i < static_cast<std::int64_t>(left.size()); ++i) {
        run = std::abs(left[static_cast<std::size_t>(i)]) <= sound_threshold ? run + 1 : 0;
        if (run == recording_rate / 500)
            return {i - run + 1, first_sound(left, i)};
    }
    return {};
}
