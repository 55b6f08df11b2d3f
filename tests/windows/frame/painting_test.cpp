// What the windows look like on the screen: the red credit line drawn with no
// box of its own, and the notice labels' wrapping and centring.
#include "app/controls.h"
#include "tests/windows/frame/frame_test_fixture.h"
#include "tests/windows/frame/window_capture.h"

namespace {
const Control credit_line{WindowId::main, "透明标签1"};

RECT place_in_client(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

struct Inks {
    int background = 0, red = 0, reddish = 0, dark = 0, other = 0;
    int first_x = -1, last_x = -1, first_y = -1, last_y = -1; // of everything but background
};

Inks count_inks(const Capture& capture, RECT area)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    Inks inks;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF c = capture.at(x, y);
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (c == face) {
                ++inks.background;
                continue;
            }
            if (r > 200 && g < 60 && b < 60)
                ++inks.red;
            else if (r > g && r > b)
                ++inks.reddish; // red text smoothed into the background
            else if (r < 100 && g < 100 && b < 100)
                ++inks.dark;
            else
                ++inks.other;
            if (inks.first_x < 0 || x < inks.first_x)
                inks.first_x = x;
            inks.last_x = std::max(inks.last_x, x);
            if (inks.first_y < 0)
                inks.first_y = y;
            inks.last_y = y;
        }
    return inks;
}
} // namespace

TEST_F(Win32FrameTest, TheCreditLineIsRedTextOverTheWindowBackgroundWithNoBoxOfItsOwn)
{
    load(WindowId::main);
    const RECT area = place_in_client(handle(credit_line));
    const Inks inks = count_inks(capture_window(handle(WindowId::main)), area);
    EXPECT_GT(inks.red, 30);
    EXPECT_EQ(inks.dark + inks.other, 0);
    // Left-aligned: the text starts at the label's left edge, not further in.
    EXPECT_LT(inks.first_x - area.left, 4);
    EXPECT_GT(inks.background, inks.red + inks.reddish); // most of the label is the window's own
}

TEST_F(Win32FrameTest, ATransparentLabelsOldTextIsGoneWhenItsCaptionChanges)
{
    load(WindowId::main);
    set_caption(frame(), credit_line, "");
    const RECT area = place_in_client(handle(credit_line));
    const Inks inks = count_inks(capture_window(handle(WindowId::main)), area);
    EXPECT_EQ(inks.red + inks.reddish + inks.dark + inks.other, 0);
}

TEST_F(Win32FrameTest, NoticeLabelsCentreTheRedLineAndWrapTheAdvice)
{
    load(WindowId::notice);
    set_caption(frame(), notice_window::choice_label, "设备编号：设备三    所选阶段：第二阶段");
    set_caption(frame(), notice_window::advice_label,
                "请根据当前播放的音乐调整系统音量为正常听歌音量，确认红色信息无误后关闭本窗口，"
                "程序将根据所选阶段适合的音量进行调整。");
    const Capture shown = capture_window(handle(WindowId::notice));

    const RECT choice = place_in_client(handle(notice_window::choice_label));
    // Only the rows above the advice label, which lies over the rest.
    const RECT choice_visible{choice.left, choice.top, choice.right,
                              place_in_client(handle(notice_window::advice_label)).top};
    const Inks red_line = count_inks(shown, choice_visible);
    EXPECT_GT(red_line.red, 0);
    EXPECT_GT(red_line.red + red_line.reddish, 100);
    EXPECT_EQ(red_line.dark, 0);
    const int left_margin = red_line.first_x - choice.left;
    const int right_margin = choice.right - 1 - red_line.last_x;
    EXPECT_LE(std::abs(left_margin - right_margin), 3) << left_margin << " " << right_margin;

    const RECT advice = place_in_client(handle(notice_window::advice_label));
    const Inks advice_text = count_inks(shown, advice);
    EXPECT_GT(advice_text.dark, 30);
    EXPECT_EQ(advice_text.red, 0);
    // Several lines of 16-pixel characters, starting at the top.
    EXPECT_GT(advice_text.last_y - advice_text.first_y, 2 * 16);
    EXPECT_LT(advice_text.first_y - advice.top, 4);
}
