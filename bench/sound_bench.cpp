// How fast the MPEG reader gets through a track, and through a file with no
// audio in it, which it searches to the end (a stop waits for at most a few
// KiB of that search).
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "sound/mpeg_reader.h"

namespace {

constexpr std::size_t file_size = 16 * 1024 * 1024;

std::string repeated(const std::string& block)
{
    std::string out;
    out.reserve(file_size + block.size());
    while (out.size() < file_size)
        out += block;
    out.resize(file_size);
    return out;
}

std::string frame_of(const char* header, std::size_t length)
{
    std::string frame(length, '\0');
    frame.replace(0, 4, header, 4);
    return frame;
}

std::string sample(int kind)
{
    switch (kind) {
    case 0: // MPEG-1 Layer III, 128 kbit/s, 44100 Hz, stereo: 417 bytes a frame
        return repeated(frame_of("\xFF\xFB\x90\x64", 417));
    case 1:
        return std::string(file_size, '\0');
    case 2:
        return std::string(file_size, '\xFF');
    case 3: {
        std::mt19937 random(1);
        std::string bytes(file_size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        return bytes;
    }
    default:
        return repeated(frame_of("\xFF\xFF\x90\x64", 384)); // Layer I, refused
    }
}

void ReadWholeFile(benchmark::State& state)
{
    MemoryByteSource source(sample(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        MpegReader reader(source);
        MpegFrame frame;
        long frames = 0;
        while (reader.next_frame(frame))
            ++frames;
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file_size));
}

} // namespace

// 0: a stream of frames; then files with none: zeros, all 0xFF, random bytes,
// Layer I frames.
BENCHMARK(ReadWholeFile)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
