// Times the waveOut output and the track player against what the null sink
// heard: how soon sound starts, how soon a reset or stop silences it, how
// long the calls themselves take, and the gap between two passes. Run by
// waveout_timing_test.sh, which records the sink and names the tracks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "sound/looping_track_player.h"
#include "sound/win32/waveout_output.h"
#include "sound/win32/win32_sound.h"
#include "tests/windows/sound/sink_recording.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr double tone_amplitude = 8000;

// Stereo 440 Hz at a quarter of full scale, continuing across calls.
class Tone {
public:
    std::vector<std::int16_t> next(int instants)
    {
        std::vector<std::int16_t> pcm;
        for (int i = 0; i < instants; ++i, ++at_) {
            auto v = static_cast<std::int16_t>(tone_amplitude * std::sin(2 * 3.14159265358979 * 440 * at_ / recording_rate));
            pcm.push_back(v);
            pcm.push_back(v);
        }
        return pcm;
    }

private:
    long at_ = 0;
};

std::string track(const char* variable)
{
    const char* path = std::getenv(variable);
    return path ? path : "";
}

// Wine's own audio path sets a floor under the calls: a thread starts in
// 5 to 45 ms, waveOutReset takes up to 10 ms and waveOutClose 15 to 30 ms on
// this two-core machine (see the figures printed). A call that waited for
// queued audio (320 ms) or for a pass to end would still break this bound.
constexpr double wine_call_bound_ms = 100;

// Wine loads its audio driver at the first waveOut or mixer call of a process
// (2 to 3 s); the program pays that when its main window selects the mixer
// line, so the timings below start from a process that has done so.
class AudioWarmUp : public ::testing::Environment {
public:
    void SetUp() override
    {
        auto before = Clock::now();
        warm_up_waveout();
        std::printf("FIGURE first_output_open_in_process %.1f ms\n", ms_since(before));
    }
};
[[maybe_unused]] const auto* const warm_up = ::testing::AddGlobalTestEnvironment(new AudioWarmUp);

class SoundTiming : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!recording.available())
            GTEST_SKIP() << "no recording of the sink: run waveout_timing_test.sh";
    }

    void report(const char* what, double ms)
    {
        std::printf("FIGURE %s %.1f ms\n", what, ms);
        RecordProperty(what, static_cast<int>(std::lround(ms)));
    }

    SinkRecording recording;
};

TEST_F(SoundTiming, OutputSoundsSoonAndResetSilencesAtOnce)
{
    auto output = make_waveout_output();
    std::int64_t opened_at = recording.position();
    ASSERT_TRUE(output->open({recording_rate, 2}));
    bool writer_saw_reset = false;
    std::thread writer([&] {
        Tone tone;
        while (output->write(tone.next(1152))) {
        }
        writer_saw_reset = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(700));

    std::int64_t reset_at = recording.position();
    auto before_reset = Clock::now();
    output->reset();
    double reset_took = ms_since(before_reset);
    writer.join();
    double writer_woke = ms_since(before_reset);
    auto before_close = Clock::now();
    output->close();
    double close_took = ms_since(before_close);

    auto left = recording.left_channel_after(recording_rate / 2);
    std::int64_t onset = first_sound(left, opened_at);
    ASSERT_GE(onset, 0) << "nothing was heard";
    std::int64_t silent = silence_from(left, reset_at);
    report("output_open_to_sound", instants_to_ms(onset - opened_at));
    report("output_reset_to_silence", instants_to_ms(silent - reset_at));
    report("output_reset_call", reset_took);
    report("output_reset_to_writer_woken", writer_woke);
    report("output_close_call", close_took);
    EXPECT_LE(instants_to_ms(onset - opened_at), 150);
    EXPECT_LE(instants_to_ms(silent - reset_at), 50);
    EXPECT_LE(reset_took, wine_call_bound_ms);
    EXPECT_TRUE(writer_saw_reset);
    EXPECT_LE(writer_woke, 50) << "reset did not wake the blocked writer";
    EXPECT_FALSE(output->drain()) << "drain after a reset must fail";
}

TEST_F(SoundTiming, DrainPlaysEverythingQueuedToItsEnd)
{
    auto output = make_waveout_output();
    std::int64_t opened_at = recording.position();
    ASSERT_TRUE(output->open({recording_rate, 2}));
    Tone tone;
    // 300 ms in uneven pieces, so that the last buffer goes out part filled.
    for (int piece = 0; piece < 10; ++piece)
        ASSERT_TRUE(output->write(tone.next(recording_rate * 3 / 100)));
    ASSERT_TRUE(output->write(tone.next(77)));
    ASSERT_TRUE(output->drain());
    output->close();

    auto left = recording.left_channel_after(recording_rate / 2);
    std::int64_t onset = first_sound(left, opened_at);
    ASSERT_GE(onset, 0) << "nothing was heard";
    // How long the tone sounded, from its energy, so that a hiccup of the
    // sound server's own (a gap inside the tone) does not count.
    double energy = 0;
    for (std::size_t i = static_cast<std::size_t>(onset); i < left.size(); ++i)
        energy += static_cast<double>(left[i]) * left[i];
    double heard = instants_to_ms(static_cast<std::int64_t>(energy / (tone_amplitude * tone_amplitude / 2.0)));
    report("drained_tone_heard", heard);
    EXPECT_NEAR(heard, 300 + 77 * 1000.0 / recording_rate, 10);
}

TEST_F(SoundTiming, PlayTrackReturnsAtOnceAndStopSilences)
{
    std::string path = track("BURNIN_TRACK");
    ASSERT_FALSE(path.empty()) << "BURNIN_TRACK names no track";
    LoopingTrackPlayer player(make_win32_sound_backend());

    std::int64_t started_at = recording.position();
    auto before_start = Clock::now();
    player.play_track(-1, path);
    double start_took = ms_since(before_start);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));

    std::int64_t stopped_at = recording.position();
    auto before_stop = Clock::now();
    player.play_track(0, "");
    double stop_took = ms_since(before_stop);

    auto left = recording.left_channel_after(recording_rate / 2);
    std::int64_t onset = first_sound(left, started_at);
    ASSERT_GE(onset, 0) << "nothing was heard";
    std::int64_t silent = silence_from(left, stopped_at);
    report("play_track_start_call", start_took);
    report("play_track_stop_call", stop_took);
    report("play_track_to_sound", instants_to_ms(onset - started_at));
    report("stop_to_silence", instants_to_ms(silent - stopped_at));
    EXPECT_LE(start_took, wine_call_bound_ms);
    EXPECT_LE(stop_took, wine_call_bound_ms);
    EXPECT_LE(instants_to_ms(onset - started_at), 150);
    EXPECT_LE(instants_to_ms(silent - stopped_at), 50);
}

// The short track is a half-second tone with no silence at either end; the
// gap between its passes is what closing and reopening the output costs.
TEST_F(SoundTiming, LoopGapBetweenTwoPasses)
{
    std::string path = track("BURNIN_SHORT_TRACK");
    ASSERT_FALSE(path.empty()) << "BURNIN_SHORT_TRACK names no track";
    LoopingTrackPlayer player(make_win32_sound_backend());
    std::int64_t started_at = recording.position();
    player.play_track(2, path);
    auto left = recording.left_channel_after(recording_rate * 2);
    player.play_track(0, "");

    std::int64_t first = first_sound(left, started_at);
    ASSERT_GE(first, 0) << "nothing was heard";
    Pause pause = first_pause(left, first);
    ASSERT_GE(pause.from, 0) << "the track never paused";
    ASSERT_GE(pause.to, 0) << "the second pass was not heard";
    report("first_pass_heard", instants_to_ms(pause.from - first));
    report("loop_gap", instants_to_ms(pause.to - pause.from));
    EXPECT_GE(instants_to_ms(pause.from - first), 400) << "the first pass was cut short";
    EXPECT_LE(instants_to_ms(pause.to - pause.from), 150);
}

} // namespace
