// Watches a live stream of 16-bit stereo PCM at 44.1 kHz on standard input
// (what the null sink plays, from parec) and prints each change between
// sound and silence as it arrives: "sound|silence WALL_MS STREAM_MS", the
// wall-clock time of arrival in ms since the epoch and the position in the
// stream. Windows of 5 ms count as sound when their loudest sample passes
// the threshold. The system tests use it to time the program's sound against
// their clicks, and to measure passes and gaps within the stream.
// The first line, "listening WALL_MS", comes with the stream's first window:
// the monitor sends nothing for a while after a recorder connects.
// Usage: sound_events [threshold, fraction of full scale, default 0.002]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {
constexpr int rate = 44100;
constexpr int channels = 2;
constexpr int window_frames = rate / 200;

long long wall_ms()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Fills the buffer completely; false at the end of the stream.
bool read_all(unsigned char* buffer, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(STDIN_FILENO, buffer + got, size - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    const double threshold = argc > 1 ? std::atof(argv[1]) : 0.002;
    const int limit = static_cast<int>(threshold * 32768);
    unsigned char window[window_frames * channels * 2];
    long long frames = 0;
    bool in_sound = false;
    while (read_all(window, sizeof window)) {
        const long long arrived = wall_ms();
        if (frames == 0) {
            std::printf("listening %lld\n", arrived);
            std::fflush(stdout);
        }
        int loudest = 0;
        for (std::size_t i = 0; i < sizeof window; i += 2) {
            const auto sample = static_cast<std::int16_t>(window[i] | window[i + 1] << 8);
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        }
        const bool sound = loudest > limit;
        if (sound != in_sound) {
            std::printf("%s %lld %lld\n", sound ? "sound" : "silence", arrived,
                        frames * 1000 / rate);
            std::fflush(stdout);
        }
        in_sound = sound;
        frames += window_frames;
    }
    return 0;
}
