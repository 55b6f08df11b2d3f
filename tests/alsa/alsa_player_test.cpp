// The looping player on the real Linux backend, heard through the harness's
// null sink: the track sounds soon after a start, stops at once on a stop,
// and a device that is not there gives silence without holding anything up.
#include "sound/alsa/alsa_sound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "sound/alsa/alsa_output.h"
#include "tests/alsa/alsa_test_support.h"
#include "tests/alsa/sink_recorder.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Louder than any rounding noise; the tones peak near full scale.
constexpr int loud = 1000;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double as_seconds(std::int64_t instants) { return static_cast<double>(instants) / recording_rate; }

// The first loud instant at or after from, or -1.
std::int64_t first_loud(const std::vector<std::int16_t>& samples, std::int64_t from)
{
    for (auto i = static_cast<std::size_t>(std::max<std::int64_t>(from, 0)); i < samples.size(); ++i)
        if (std::abs(samples[i]) > loud)
            return static_cast<std::int64_t>(i);
    return -1;
}

// The last loud instant, or -1.
std::int64_t last_loud(const std::vector<std::int16_t>& samples)
{
    for (auto i = samples.size(); i-- > 0;)
        if (std::abs(samples[i]) > loud)
            return static_cast<std::int64_t>(i);
    return -1;
}

class AlsaPlayerTest : public HarnessTest {
protected:
    std::string recording() const { return std::string(std::getenv("HARNESS_DIR")) + "/" + test_name() + ".wav"; }
    static std::string test_name() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }
};

TEST_F(AlsaPlayerTest, TheTrackSoundsSoonAfterAStartAndStopsAtOnce)
{
    SinkRecorder recorder(recording());
    ASSERT_TRUE(recorder.start());
    LoopingTrackPlayer player(make_alsa_sound_backend());
    std::this_thread::sleep_for(milliseconds(200));

    std::int64_t started_at = recorder.position();
    auto call = Clock::now();
    player.play_track(-1, track_path("stereo44.mp3"));
    double start_call = seconds_since(call);
    // Three passes of the half-second track.
    std::this_thread::sleep_for(milliseconds(1700));
    std::int64_t stopped_at = recorder.position();
    call = Clock::now();
    player.play_track(0, "");
    double stop_call = seconds_since(call);
    std::this_thread::sleep_for(milliseconds(500));
    recorder.stop();

    auto left = recorder.left_channel();
    std::int64_t heard = first_loud(left, started_at);
    std::int64_t fell_silent = last_loud(left);
    ASSERT_GE(heard, 0) << "nothing was heard";
    double sound_delay = as_seconds(heard - started_at);
    double silence_delay = as_seconds(fell_silent - stopped_at);
    std::printf("play_track returned in %.2f ms (start) and %.2f ms (stop); sound after %.0f ms, "
                "silence %.0f ms after the stop\n",
                start_call * 1e3, stop_call * 1e3, sound_delay * 1e3, silence_delay * 1e3);
    // Generous bounds: the machine may be busy, and the recording then
    // loses some of its timing.
    EXPECT_LT(start_call, 0.05);
    EXPECT_LT(stop_call, 0.1);
    EXPECT_LT(sound_delay, 1.0);
    EXPECT_LT(silence_delay, 0.3);
    // It played on until the stop: something was heard in its last second.
    EXPECT_GT(silence_delay, -1.0);
}

TEST_F(AlsaPlayerTest, AStopWhileTheDeviceIsFullReturnsWithinMilliseconds)
{
    LoopingTrackPlayer player(make_alsa_sound_backend());
    // Stops at different moments of a pass: in the middle of the queue
    // filling, while it is full, and around the drain at its end. The first
    // stop may also wait for the process's first device open to finish, in
    // which the sound server's client library is loaded and connected.
    bool first = true;
    for (int wait : {50, 50, 150, 300, 420, 480, 700}) {
        player.play_track(-1, track_path("stereo44.mp3"));
        std::this_thread::sleep_for(milliseconds(wait));
        auto call = Clock::now();
        player.play_track(0, "");
        double took = seconds_since(call);
        std::printf("stop %d ms into a pass took %.2f ms\n", wait, took * 1e3);
        EXPECT_LT(took, first ? 0.5 : 0.1) << wait << " ms into a pass";
        first = false;
    }
}

TEST_F(AlsaPlayerTest, AFinitePassCountPlaysThatManyPassesThenFallsSilent)
{
    SinkRecorder recorder(recording());
    ASSERT_TRUE(recorder.start());
    LoopingTrackPlayer player(make_alsa_sound_backend());
    std::int64_t started_at = recorder.position();
    player.play_track(2, track_path("mono22.mp3"));
    std::this_thread::sleep_for(milliseconds(2500));
    recorder.stop();
    auto left = recorder.left_channel();
    std::int64_t heard = first_loud(left, started_at);
    std::int64_t ended = last_loud(left);
    ASSERT_GE(heard, 0);
    // Two half-second passes and the short silence between them.
    double sounded = as_seconds(ended - heard);
    std::printf("two passes sounded for %.3f s\n", sounded);
    EXPECT_GT(sounded, 0.95);
    EXPECT_LT(sounded, 1.5);
    EXPECT_LT(as_seconds(ended - started_at), 2.0);
}

TEST_F(AlsaPlayerTest, AMissingDeviceHoldsUpNeitherStartNorStop)
{
    SoundBackend backend = make_alsa_sound_backend();
    backend.make_output = [] { return make_alsa_output("burnin_no_such_device"); };
    LoopingTrackPlayer player(std::move(backend));
    auto call = Clock::now();
    player.play_track(-1, track_path("stereo44.mp3"));
    EXPECT_LT(seconds_since(call), 0.05);
    // Long enough for a few failed passes and their retry waits.
    std::this_thread::sleep_for(milliseconds(600));
    call = Clock::now();
    player.play_track(0, "");
    EXPECT_LT(seconds_since(call), 0.1);
}

} // namespace
