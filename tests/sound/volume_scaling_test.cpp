// The stage shares, the scaling of a saved volume and the stage track paths.
#include "sound/stage_track.h"
#include "sound/volume_scaling.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(SoundVolumeScaling, StageShares)
{
    const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 30}, {1, 50}, {2, 80}};
    for (auto [stage, share] : cases)
        EXPECT_EQ(stage_share(stage), share) << stage;
}

TEST(SoundVolumeScaling, DividesFirstThenTruncates)
{
    struct Case {
        std::int32_t saved;
        std::int32_t stage;
        std::int32_t expected;
    };
    const Case cases[] = {
        {410, 0, 122}, // 4.1 * 30 falls just below 123
        {58, 1, 28},   // 0.58 * 50 falls just below 29
        {65535, 0, 19660}, {65535, 1, 32767}, {65535, 2, 52428},
        {1, 0, 0}, {1, 1, 0}, {1, 2, 0},
        {100, 0, 30}, {100, 1, 50}, {100, 2, 80},
        {0, 0, 0}, {0, 2, 0},
        {-1, 0, 0}, {-1, 1, 0}, {-1, 2, 0}, // a failed read stays silent
        {-1000, 1, -500},                  // toward zero
        {-999, 0, -299},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scale_volume(c.saved, stage_share(c.stage)), c.expected) << c.saved << " at stage " << c.stage;
}

TEST(SoundVolumeScaling, KeepsTheLow32BitsOfLargeValues)
{
    // Values the mixer holds as unsigned come back as negative signed ones.
    EXPECT_EQ(scale_volume(INT32_MAX, 80), 1717986917);
    EXPECT_EQ(scale_volume(INT32_MIN, 80), -1717986918);
}

TEST(SoundStageTrack, JoinsRunDirectoryFileFolderAndStageNumber)
{
    struct Case {
        const char* run_directory;
        std::int32_t stage;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Burn", 0, "C:\\Burn\\File\\1.mp3"},
        {"C:\\Burn", 1, "C:\\Burn\\File\\2.mp3"},
        {"C:\\Burn", 2, "C:\\Burn\\File\\3.mp3"},
        {"D:\\\xBA\xC3\\x", 2, "D:\\\xBA\xC3\\x\\File\\3.mp3"}, // GBK bytes pass through
        {"", 0, "\\File\\1.mp3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stage_track_path(c.run_directory, c.stage), c.expected) << c.run_directory << " " << c.stage;
}
