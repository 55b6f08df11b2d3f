// The winmm master volume under Wine: the speakers line opens, reads back
// what was set, and a closed accessor touches nothing.
#include <gtest/gtest.h>

#include "sound/win32/winmm_mixer.h"

namespace {

// Puts back the volume the test found.
class WinmmMixer : public ::testing::Test {
protected:
    void SetUp() override
    {
        volume->select_line(speakers_line);
        volume->get_volume(found_left, found_right);
        ASSERT_NE(found_left, -1) << "no speakers volume on mixer 0";
    }
    void TearDown() override { volume->set_volume(found_left, found_right); }

    std::unique_ptr<MasterVolume> volume = make_winmm_master_volume();
    std::int32_t found_left = -1, found_right = -1;
};

// A line whose volume is one value for all channels reads as a one-channel
// line (right -1, ignored when writing); Wine's speakers volume is such a one.
TEST_F(WinmmMixer, ReadsBackWhatItSet)
{
    const bool one_value = found_right == -1;
    struct Pair {
        std::int32_t left, right;
    };
    const Pair pairs[] = {{65535, 65535}, {19660, 19660}, {32767, 52428}, {0, 65535}, {122, 0}, {0, 0}};
    for (const Pair& set : pairs) {
        volume->set_volume(set.left, set.right);
        std::int32_t left = 7, right = 7;
        volume->get_volume(left, right);
        EXPECT_EQ(left, set.left) << "set " << set.left << "/" << set.right;
        EXPECT_EQ(right, one_value ? -1 : set.right) << "set " << set.left << "/" << set.right;
    }
}

TEST_F(WinmmMixer, SelectingAgainKeepsTheLine)
{
    volume->set_volume(30000, 40000);
    volume->select_line(speakers_line);
    std::int32_t left = 7, right = 7;
    volume->get_volume(left, right);
    EXPECT_EQ(left, 30000);
    EXPECT_EQ(right, found_right == -1 ? -1 : 40000);
}

TEST_F(WinmmMixer, ALineWithoutVolumeLeavesTheAccessorClosed)
{
    // Component types the mixer has no destination line for.
    for (std::int32_t type : {0x0FFF, 0x7FFFFFFF}) {
        auto other = make_winmm_master_volume();
        other->select_line(type);
        std::int32_t left = 7, right = 8;
        other->get_volume(left, right);
        EXPECT_EQ(left, 7) << type;
        EXPECT_EQ(right, 8) << type;
        other->set_volume(0, 0);
        std::int32_t now_left = -1, now_right = -1;
        volume->get_volume(now_left, now_right);
        EXPECT_EQ(now_left, found_left) << "a closed accessor changed the volume";
        EXPECT_EQ(now_right, found_right) << "a closed accessor changed the volume";
    }
}

TEST(WinmmMixerClosed, BeforeSelectLineNothingIsReadOrWritten)
{
    auto volume = make_winmm_master_volume();
    std::int32_t left = 3, right = 4;
    volume->get_volume(left, right);
    EXPECT_EQ(left, 3);
    EXPECT_EQ(right, 4);
    volume->set_volume(0, 0); // closed: must not reach any mixer
    auto speakers = make_winmm_master_volume();
    speakers->select_line(speakers_line);
    speakers->get_volume(left, right);
    EXPECT_NE(left, 0);
}

} // namespace
