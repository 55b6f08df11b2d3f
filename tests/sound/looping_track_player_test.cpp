// The looping track player against a recording backend: passes, stops and
// retries, with no sound device and a clock that only the outputs move.
#include "sound/looping_track_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>

#include "tests/sound/fake_backend.h"
#include "tests/sound/mpeg_stream.h"
#include "tests/sound/test_sources.h"

namespace {

using std::chrono::milliseconds;

// Long enough that a test would time out rather than see a retry.
const RetryDelays never_retry{std::chrono::hours(1), std::chrono::hours(1)};

const std::string track = "C:\\Burn\\File\\1.mp3";

std::vector<std::string> pass(int output, bool held = false)
{
    std::string o = "output " + std::to_string(output);
    std::vector<std::string> events = {"file " + track, "decoder 44100/2 gap 0/0", o + " open 44100/2"};
    if (held)
        return events;
    for (int frame = 0; frame < 3; ++frame)
        events.push_back(o + " write 4");
    for (const char* e : {" drain", " close", " destroyed"})
        events.push_back(o + e);
    return events;
}

std::vector<std::string> stopped_while_held(int output)
{
    std::string o = "output " + std::to_string(output);
    return {o + " write held", o + " reset", o + " write 4 refused", o + " close", o + " destroyed"};
}

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

long count(const std::vector<std::string>& events, const std::string& event)
{
    return std::count(events.begin(), events.end(), event);
}

class SoundTrackPlayer : public ::testing::Test {
protected:
    SoundTrackPlayer() { sound.files[track] = mpeg_frames(stereo44_header, stereo44_length, 3); }
    FakeSound sound;
};

} // namespace

TEST(SoundRetryDelay, DoublesUpToTheLongestAndStartsOverAfterAHeardPass)
{
    const RetryDelays delays{milliseconds(250), milliseconds(8000)};
    struct Case {
        long previous;
        bool heard;
        long expected;
    };
    const Case cases[] = {
        {0, false, 250},     {250, false, 500},   {500, false, 1000},  {4000, false, 8000},
        {6000, false, 8000}, {8000, false, 8000}, {8000, true, 0},     {0, true, 0},
        {250, true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(next_retry_delay(milliseconds(c.previous), c.heard, delays).count(), c.expected)
            << c.previous << (c.heard ? " heard" : " not heard");
}

TEST_F(SoundTrackPlayer, EndlessLoopOpensFileDecoderAndOutputForEveryPass)
{
    sound.hold_writes_from = 4;
    {
        LoopingTrackPlayer player(sound.backend(), never_retry, sound.clock.reader());
        player.play_track(-1, track);
        ASSERT_TRUE(sound.log.wait_for("output 4 write held"));
    }
    EXPECT_EQ(sound.log.events(), joined({pass(1), pass(2), pass(3), pass(4, true), stopped_while_held(4)}));
}

TEST_F(SoundTrackPlayer, FinitePassCountPlaysThatManyThenFallsSilent)
{
    for (std::int32_t passes : {1, 2, 3}) {
        FakeSound fresh;
        fresh.files = sound.files;
        LoopingTrackPlayer player(fresh.backend(), never_retry, fresh.clock.reader());
        player.play_track(passes, track);
        ASSERT_TRUE(fresh.log.wait_for("output " + std::to_string(passes) + " destroyed"));
        player.play_track(0, "");
        std::vector<std::string> expected;
        for (int i = 1; i <= passes; ++i)
            expected = joined({expected, pass(i)});
        EXPECT_EQ(fresh.log.events(), expected) << passes;
    }
}

TEST_F(SoundTrackPlayer, StopRequestsOnlyStop)
{
    const std::pair<std::int32_t, std::string> stops[] = {{0, ""}, {0, track}, {-1, ""}, {5, ""}};
    for (const auto& [count, path] : stops) {
        FakeSound fresh;
        fresh.files = sound.files;
        fresh.hold_writes_from = 1;
        LoopingTrackPlayer player(fresh.backend(), never_retry, fresh.clock.reader());
        player.play_track(-1, track);
        ASSERT_TRUE(fresh.log.wait_for("output 1 write held"));
        player.play_track(count, path);
        fresh.log.add("stop returned");
        player.play_track(0, ""); // stopping twice does nothing
        EXPECT_EQ(fresh.log.events(), joined({pass(1, true), stopped_while_held(1), {"stop returned"}}))
            << count << " " << path;
    }
}

TEST_F(SoundTrackPlayer, NewRequestStopsTheOldPlayerBeforeReturning)
{
    sound.hold_writes_from = 1;
    LoopingTrackPlayer player(sound.backend(), never_retry, sound.clock.reader());
    player.play_track(-1, track);
    ASSERT_TRUE(sound.log.wait_for("output 1 write held"));
    player.play_track(-1, track);
    sound.log.add("second request returned");
    ASSERT_TRUE(sound.log.wait_for("output 2 write held"));
    player.play_track(0, "");

    // The new player's thread may log before the request's return is logged;
    // the old output must be gone by then all the same.
    auto events = sound.log.events();
    auto returned = std::find(events.begin(), events.end(), "second request returned");
    ASSERT_NE(returned, events.end());
    auto destroyed = std::find(events.begin(), events.end(), "output 1 destroyed");
    EXPECT_LT(destroyed - events.begin(), returned - events.begin());
    events.erase(returned);
    EXPECT_EQ(events, joined({pass(1, true), stopped_while_held(1), pass(2, true), stopped_while_held(2)}));
}

TEST_F(SoundTrackPlayer, DestructionWhileAWriteIsHeldReturnsThroughReset)
{
    sound.hold_writes_from = 1;
    auto player = std::make_unique<LoopingTrackPlayer>(sound.backend(), never_retry, sound.clock.reader());
    player->play_track(-1, track);
    ASSERT_TRUE(sound.log.wait_for("output 1 write held"));
    player.reset();
    sound.log.add("destroyed");
    EXPECT_EQ(sound.log.events(), joined({pass(1, true), stopped_while_held(1), {"destroyed"}}));
}

TEST_F(SoundTrackPlayer, PassesThatPlayNothingWaitBeforeTheNextTry)
{
    struct Case {
        const char* why;
        std::string path;
        bool decoders_fail;
        int decode_fails_at;
        OutputBehaviour outputs;
        std::string last_event;
    };
    const std::string junk_track = "C:\\Burn\\File\\2.mp3";
    const Case cases[] = {
        {"missing file", "C:\\Burn\\File\\3.mp3", false, 0, {}, "file C:\\Burn\\File\\3.mp3 missing"},
        {"no frames", junk_track, false, 0, {}, "file " + junk_track},
        {"junk with one header-like frame at its end", junk_track + "x", false, 0, {}, "file " + junk_track + "x"},
        {"decoder refuses", track, true, 0, {}, "decoder 44100/2 gap 0/0"},
        {"decoder fails at once", track, false, 1, {}, "output 1 destroyed"},
        {"output does not open", track, false, 0, {.open_fails = true}, "output 1 destroyed"},
        {"first write fails", track, false, 0, {.write_fails_at = 1}, "output 1 destroyed"},
    };
    for (const Case& c : cases) {
        FakeSound fresh;
        fresh.files = sound.files;
        fresh.files[junk_track] = std::string(3000, '\xFF');
        fresh.files[junk_track + "x"] = std::string(3000, 'x') + mpeg_frames(stereo44_header, stereo44_length, 1);
        fresh.decoders_fail = c.decoders_fail;
        fresh.decode_fails_at = c.decode_fails_at;
        fresh.outputs = c.outputs;
        {
            LoopingTrackPlayer player(fresh.backend(), never_retry, fresh.clock.reader());
            player.play_track(-1, c.path);
            ASSERT_TRUE(fresh.log.wait_for(c.last_event)) << c.why;
        } // an hour's wait is cut short
        auto events = fresh.log.events();
        EXPECT_EQ(count(events, "file " + c.path) + count(events, "file " + c.path + " missing"), 1) << c.why;
        EXPECT_EQ(events.back(), c.last_event) << c.why;
    }
}

TEST_F(SoundTrackPlayer, PassesThatFailMidwayAreFollowedStraightAway)
{
    struct Case {
        const char* why;
        int decode_fails_at;
        OutputBehaviour outputs;
    };
    const Case cases[] = {
        {"decoder fails on the third frame", 3, {}},
        {"second write fails", 0, {.write_fails_at = 2}},
        {"drain fails", 0, {.drain_fails = true}},
    };
    for (const Case& c : cases) {
        FakeSound fresh;
        fresh.files = sound.files;
        fresh.decode_fails_at = c.decode_fails_at;
        fresh.outputs = c.outputs;
        LoopingTrackPlayer player(fresh.backend(), never_retry, fresh.clock.reader());
        player.play_track(-1, track);
        EXPECT_TRUE(fresh.log.wait_for("output 3 open 44100/2")) << c.why;
    }
}

// An output that takes audio without playing it would let the loop spin.
TEST_F(SoundTrackPlayer, PassesFasterThanTheirAudioWaitBeforeTheNextTry)
{
    for (bool real_time : {true, false}) {
        FakeSound fresh;
        fresh.files = sound.files;
        fresh.outputs.plays_in_real_time = real_time;
        LoopingTrackPlayer player(fresh.backend(), never_retry, fresh.clock.reader());
        player.play_track(-1, track);
        ASSERT_TRUE(fresh.log.wait_for("output 1 destroyed")) << real_time;
        EXPECT_EQ(fresh.log.wait_for("output 2 open 44100/2", 1, milliseconds(300)), real_time) << real_time;
    }
}

TEST_F(SoundTrackPlayer, DecoderIsToldTheEncoderGapAndNeverSeesTheInformationFrame)
{
    sound.files[track] = encoder_info_frame(stereo44_header, stereo44_length, {.delay = 576, .padding = 1566}) +
                         mpeg_frames(stereo44_header, stereo44_length, 3);
    LoopingTrackPlayer player(sound.backend(), never_retry, sound.clock.reader());
    player.play_track(1, track);
    ASSERT_TRUE(sound.log.wait_for("output 1 destroyed"));
    auto expected = pass(1);
    expected[1] = "decoder 44100/2 gap 576/1566";
    EXPECT_EQ(sound.log.events(), expected);
}

// A file with no MPEG audio in it is searched to its end; a stop must not
// wait for that.
TEST_F(SoundTrackPlayer, StopIsPromptWhileALargeFileIsSearched)
{
    std::string random_block(8191, '\0');
    std::mt19937 random(5);
    for (char& c : random_block)
        c = static_cast<char>(random());
    const std::pair<const char*, std::string> junk[] = {
        {"zeros", std::string(4096, '\0')},
        {"all 0xFF", std::string(4096, '\xFF')},
        {"random bytes", random_block},
        {"Layer I frames", mpeg_frames(layer1_header, 384, 1)},
    };
    for (const auto& [why, block] : junk) {
        FakeSound fresh;
        std::atomic<std::uint64_t> read{0};
        fresh.other_files = [&, block = block] {
            return std::make_unique<RepeatingByteSource>("", block, std::uint64_t{1} << 30,
                                                         [&](std::uint64_t bytes) { read = bytes; });
        };
        LoopingTrackPlayer player(fresh.backend(), never_retry, fresh.clock.reader());
        player.play_track(-1, track);
        while (read < 1024 * 1024)
            std::this_thread::yield();
        auto asked = std::chrono::steady_clock::now();
        player.play_track(0, "");
        auto took = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - asked);
        // Generous for a loaded machine and a sanitizer build; it takes well
        // under a millisecond.
        EXPECT_LT(took.count(), 200) << why;
        EXPECT_LT(read, std::uint64_t{1} << 30) << why;
    }
}

TEST(SoundPassHeard, NeedsAudioPlayedInAtLeastHalfItsTime)
{
    using std::chrono::nanoseconds;
    struct Case {
        std::uint64_t samples;
        PcmFormat format;
        nanoseconds took;
        bool heard;
    };
    const Case cases[] = {
        {0, {44100, 2}, std::chrono::seconds(5), false},
        {88200, {44100, 2}, milliseconds(1000), true},
        {88200, {44100, 2}, milliseconds(500), true},
        {88200, {44100, 2}, milliseconds(499), false},
        {88200, {44100, 2}, nanoseconds(0), false},
        {88200, {44100, 1}, milliseconds(1000), true}, // two seconds of mono
        {88200, {44100, 1}, milliseconds(999), false},
        {4, {44100, 2}, nanoseconds(22676), true}, // two instants: 45352 ns
        {4, {44100, 2}, nanoseconds(22675), false},
        {8000ull * 3600 * 24, {8000, 1}, std::chrono::hours(12), true},
        {8000ull * 3600 * 24, {8000, 1}, std::chrono::hours(11), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pass_was_heard(c.samples, c.format, c.took), c.heard)
            << c.samples << " at " << c.format.sample_rate << "/" << c.format.channels << " in " << c.took.count();
}

TEST_F(SoundTrackPlayer, RetriesAFailingTrackAfterTheDelay)
{
    LoopingTrackPlayer player(sound.backend(), {milliseconds(1), milliseconds(2)}, sound.clock.reader());
    player.play_track(-1, "C:\\Burn\\File\\3.mp3");
    EXPECT_TRUE(sound.log.wait_for("file C:\\Burn\\File\\3.mp3 missing", 3));
}
