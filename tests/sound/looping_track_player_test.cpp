// The looping track player against a recording backend: passes, stops and
// retries, with no sound device and no clock.
#include "sound/looping_track_player.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/sound/fake_backend.h"
#include "tests/sound/mpeg_stream.h"

namespace {

using std::chrono::milliseconds;

// Long enough that a test would time out rather than see a retry.
const RetryDelays never_retry{std::chrono::hours(1), std::chrono::hours(1)};

const std::string track = "C:\\Burn\\File\\1.mp3";

std::vector<std::string> pass(int output, bool held = false)
{
    std::string o = "output " + std::to_string(output);
    std::vector<std::string> events = {"file " + track, "decoder 44100/2", o + " open 44100/2"};
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
        LoopingTrackPlayer player(sound.backend(), never_retry);
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
        LoopingTrackPlayer player(fresh.backend(), never_retry);
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
        LoopingTrackPlayer player(fresh.backend(), never_retry);
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
    LoopingTrackPlayer player(sound.backend(), never_retry);
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
    auto player = std::make_unique<LoopingTrackPlayer>(sound.backend(), never_retry);
    player->play_track(-1, track);
    ASSERT_TRUE(sound.log.wait_for("output 1 write held"));
    player.reset();
    sound.log.add("destroyed");
    EXPECT_EQ(sound.log.events(), joined({pass(1, true), stopped_while_held(1), {"destroyed"}}));
}

TEST_F(SoundTrackPlayer, FailingPassesWaitBeforeTheNextTry)
{
    struct Case {
        const char* why;
        std::string path;
        bool decoders_fail, outputs_fail;
        std::string last_event;
    };
    const Case cases[] = {
        {"missing file", "C:\\Burn\\File\\3.mp3", false, false, "file C:\\Burn\\File\\3.mp3 missing"},
        {"no frames", "C:\\Burn\\File\\2.mp3", false, false, "file C:\\Burn\\File\\2.mp3"},
        {"decoder refuses", track, true, false, "decoder 44100/2"},
        {"output does not open", track, false, true, "output 1 destroyed"},
    };
    for (const Case& c : cases) {
        FakeSound fresh;
        fresh.files = sound.files;
        fresh.files["C:\\Burn\\File\\2.mp3"] = std::string(3000, '\xFF');
        fresh.decoders_fail = c.decoders_fail;
        fresh.outputs_fail = c.outputs_fail;
        {
            LoopingTrackPlayer player(fresh.backend(), never_retry);
            player.play_track(-1, c.path);
            ASSERT_TRUE(fresh.log.wait_for(c.last_event)) << c.why;
        } // an hour's wait is cut short
        auto events = fresh.log.events();
        EXPECT_EQ(count(events, "file " + c.path) + count(events, "file " + c.path + " missing"), 1) << c.why;
        EXPECT_EQ(events.back(), c.last_event) << c.why;
    }
}

TEST_F(SoundTrackPlayer, RetriesAFailingTrackAfterTheDelay)
{
    LoopingTrackPlayer player(sound.backend(), {milliseconds(1), milliseconds(2)});
    player.play_track(-1, "C:\\Burn\\File\\3.mp3");
    EXPECT_TRUE(sound.log.wait_for("file C:\\Burn\\File\\3.mp3 missing", 3));
}
