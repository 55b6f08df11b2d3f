// Soaks the looping player: thousands of passes of a real track through the
// file source and the MPEG reader, into an output that plays in real time on
// a clock of its own, many times faster than the wall clock. Stops and
// restarts fall at random points of the passes. Fails unless every pass
// begins at the track's first frame and plays it whole, every stop is
// prompt, and threads, open files and heap end where they began.
//
//   sound_player_soak TRACK [PASSES [SPEED [STOP_LIMIT_MS]]]
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sound/looping_track_player.h"
#include "sound/mpeg_reader.h"
#include "tests/sound/process_usage.h"

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;
using std::chrono::steady_clock;

// What every pass is checked against, and what the passes did.
struct Soak {
    std::vector<unsigned char> first_frame; // the track's first audio frame
    long frames_per_pass = 0;
    nanoseconds pass_audio{0}; // how long a pass plays
    int speed = 1;
    std::atomic<std::int64_t> played_ns{0}; // the outputs' clock
    std::atomic<long> passes{0};
    std::atomic<long> wrong_starts{0};   // a pass that began elsewhere than the first frame
    std::atomic<long> whole_passes{0};   // passes that reached the decoder's finish
    std::atomic<long> short_passes{0};   // finished with frames missing
};

// Plays in real time on the soak's clock, and blocks for that time divided
// by the speed, until reset.
class SpeedyOutput final : public AudioOutput {
public:
    explicit SpeedyOutput(Soak& soak) : soak_(soak) {}
    bool open(const PcmFormat& f) override
    {
        format_ = f;
        return true;
    }
    bool write(std::span<const std::int16_t> pcm) override
    {
        auto length = nanoseconds(std::chrono::seconds(1)) * static_cast<std::int64_t>(pcm.size()) /
                      (format_.sample_rate * format_.channels);
        std::unique_lock lock(mutex_);
        if (reset_seen_.wait_for(lock, length / soak_.speed, [this] { return reset_; }))
            return false;
        soak_.played_ns += length.count();
        return true;
    }
    bool drain() override
    {
        std::lock_guard lock(mutex_);
        return !reset_;
    }
    void reset() override
    {
        {
            std::lock_guard lock(mutex_);
            reset_ = true;
        }
        reset_seen_.notify_all();
    }
    void close() override {}

private:
    Soak& soak_;
    PcmFormat format_{1, 1};
    std::mutex mutex_;
    std::condition_variable reset_seen_;
    bool reset_ = false;
};

// Checks where each pass begins and that it plays every frame; hands out a
// frame's worth of silence per frame.
class CheckingDecoder final : public FrameDecoder {
public:
    explicit CheckingDecoder(Soak& soak) : soak_(soak) {}
    bool open(const MpegFormat& f, const EncoderGap&) override
    {
        channels_ = f.channels;
        ++soak_.passes;
        return true;
    }
    bool decode(const MpegFrame& frame, std::vector<std::int16_t>& pcm) override
    {
        if (frames_++ == 0 && frame.bytes != soak_.first_frame)
            ++soak_.wrong_starts;
        pcm.resize(pcm.size() + static_cast<std::size_t>(frame.header.samples_per_frame * channels_));
        return true;
    }
    bool finish(std::vector<std::int16_t>&) override
    {
        ++(frames_ == soak_.frames_per_pass ? soak_.whole_passes : soak_.short_passes);
        return true;
    }

private:
    Soak& soak_;
    int channels_ = 1;
    long frames_ = 0;
};

bool read_reference(const std::string& track, Soak& soak)
{
    auto source = open_file_source(track);
    if (!source)
        return false;
    MpegReader reader(*source);
    MpegFrame frame;
    while (reader.next_frame(frame)) {
        if (soak.frames_per_pass++ == 0)
            soak.first_frame = frame.bytes;
        soak.pass_audio += nanoseconds(std::chrono::seconds(1)) * frame.header.samples_per_frame /
                           frame.header.sample_rate;
    }
    return soak.frames_per_pass > 0;
}

long percentile(std::vector<long> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TRACK [PASSES [SPEED [STOP_LIMIT_MS]]]\n", argv[0]);
        return 2;
    }
    std::string track = argv[1];
    long target = argc > 2 ? std::atol(argv[2]) : 10000;
    Soak soak;
    soak.speed = argc > 3 ? std::max(1, std::atoi(argv[3])) : 200;
    long stop_limit_ms = argc > 4 ? std::atol(argv[4]) : 50;
    if (!read_reference(track, soak)) {
        std::fprintf(stderr, "soak: %s holds no MPEG audio\n", track.c_str());
        return 2;
    }

    SoundBackend backend{
        open_file_source,
        [&] { return std::make_unique<CheckingDecoder>(soak); },
        [&] { return std::make_unique<SpeedyOutput>(soak); },
    };
    // A pass that did not count as heard would wait an hour: the soak then
    // stalls and says so.
    MonotonicClock clock = [&] { return steady_clock::time_point(nanoseconds(soak.played_ns.load())); };
    LoopingTrackPlayer player(backend, {std::chrono::hours(1), std::chrono::hours(1)}, clock);

    // First an unbroken run: passes that count as heard follow one another
    // at once; one that did not would wait an hour, and the soak says so.
    auto pass_wall = std::chrono::duration_cast<microseconds>(soak.pass_audio / soak.speed);
    long warm_up = std::min(target / 10, 100L);
    player.play_track(-1, track);
    auto deadline = steady_clock::now() + std::chrono::seconds(10) + pass_wall * 4 * warm_up;
    while (soak.passes < warm_up && steady_clock::now() < deadline)
        std::this_thread::sleep_for(milliseconds(1));
    bool stalled = soak.passes < warm_up;
    player.play_track(0, "");
    // The soak's own record of stop times must not count as growth: room for
    // more stops than passes is taken now.
    std::vector<long> stop_us;
    stop_us.reserve(static_cast<std::size_t>(2 * target));
    ProcessUsage before = process_usage();

    // Then stops and restarts anywhere within the first few passes after a
    // start: while a file is opened, a frame written, the output drained.
    std::mt19937 random(12345);
    std::uniform_int_distribution<long> wait_us(0, 4 * pass_wall.count());
    ProcessUsage most = before;
    while (!stalled && soak.passes < target && stop_us.size() < stop_us.capacity()) {
        player.play_track(-1, track);
        std::this_thread::sleep_for(microseconds(wait_us(random)));
        // While playing: one more thread, and the track file open at most.
        ProcessUsage playing = process_usage();
        most.threads = std::max(most.threads, playing.threads);
        most.open_files = std::max(most.open_files, playing.open_files);
        auto asked = steady_clock::now();
        player.play_track(0, "");
        stop_us.push_back(std::chrono::duration_cast<microseconds>(steady_clock::now() - asked).count());
    }
    ProcessUsage after = process_usage();

    long wall_limit_us = stop_limit_ms * 1000;
    long slowest = stop_us.empty() ? 0 : *std::max_element(stop_us.begin(), stop_us.end());
    std::printf("passes %ld (whole %ld, stopped %ld), stops %zu\n", soak.passes.load(), soak.whole_passes.load(),
                soak.passes.load() - soak.whole_passes.load() - soak.short_passes.load(), stop_us.size());
    std::printf("stop latency us: median %ld, p99 %ld, max %ld (limit %ld)\n", percentile(stop_us, 0.5),
                percentile(stop_us, 0.99), slowest, wall_limit_us);
    std::printf("threads %zu -> %zu (%zu while playing)\n", before.threads, after.threads, most.threads);
    std::printf("open files %zu -> %zu (%zu while playing)\n", before.open_files, after.open_files,
                most.open_files);
    std::printf("heap bytes %llu -> %llu, resident KiB %llu -> %llu\n",
                static_cast<unsigned long long>(before.heap_bytes), static_cast<unsigned long long>(after.heap_bytes),
                static_cast<unsigned long long>(before.resident_kib),
                static_cast<unsigned long long>(after.resident_kib));

    // Heap allowance: the allocator's and the runtime's own bookkeeping, far
    // below one pass's buffers for each thousand passes.
    const std::uint64_t heap_allowance = 64 * 1024;
    struct Check {
        bool ok;
        const char* what;
    } checks[] = {
        {!stalled, "the player stalled: a pass did not count as heard"},
        {soak.passes >= target, "the passes fell short: most stops came before a pass began"},
        {soak.wrong_starts == 0, "a pass began elsewhere than at the first frame"},
        {soak.short_passes == 0, "a pass finished with frames missing"},
        {soak.whole_passes > 0, "no pass played to its end"},
        {slowest <= wall_limit_us, "a stop was slow"},
        {after.threads == before.threads, "threads were left behind"},
        {most.threads <= before.threads + 1, "more than one playing thread"},
        {after.open_files == before.open_files, "files were left open"},
        {most.open_files <= before.open_files + 1, "more than the track open while playing"},
        {after.heap_bytes <= before.heap_bytes + heap_allowance, "the heap grew"},
    };
    int failed = 0;
    for (const Check& c : checks) {
        if (!c.ok) {
            std::printf("FAILED: %s\n", c.what);
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
