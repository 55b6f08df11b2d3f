// Keyboard focus, Tab order, Esc and Enter, and every way a window is closed,
// with real key presses, clicks and window messages.
#include <string>
#include <vector>

#include "app/controls.h"
#include "tests/windows/frame/frame_test_fixture.h"
#include "tests/windows/frame/user_input.h"

namespace {
namespace mw = main_window;
namespace iw = instructions_window;

const Control disabled_mode_box{WindowId::main, "选择框2"};

// A point on the window's close box, found the way the system finds it.
POINT close_box_point(HWND window)
{
    RECT outer;
    GetWindowRect(window, &outer);
    for (int y = outer.top; y < outer.top + 40; ++y) {
        int right = -1, left = -1;
        for (int x = outer.right - 1; x > outer.left; --x) {
            const bool on_close =
                SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE;
            if (on_close && right < 0)
                right = x;
            if (!on_close && right >= 0) {
                left = x + 1;
                break;
            }
        }
        if (right >= 0 && left >= 0)
            return {(left + right) / 2, y + 4};
    }
    return {-1, -1};
}
} // namespace

TEST_F(Win32FrameTest, TabAndShiftTabVisitTheUsableTabStopsInCreationOrder)
{
    struct Row {
        bool backward;
        Control focus_after;
    };
    // 选择框2 is a tab stop but disabled, so it is skipped.
    const Row rows[] = {
        {false, mw::device_combo}, {false, mw::auto_volume_box}, {false, mw::stage_combo},
        {true, mw::auto_volume_box}, {true, mw::device_combo},   {true, mw::stage_combo},
    };
    load(WindowId::main);
    // The first tab stop has the focus when the window is shown.
    std::vector<HWND> expected{handle(mw::stage_combo)};
    for (const Row& row : rows)
        expected.push_back(handle(row.focus_after));
    std::vector<HWND> seen;
    std::vector<std::function<void()>> steps;
    for (const Row& row : rows)
        steps.push_back([&, row] {
            seen.push_back(GetFocus());
            if (row.backward)
                press_key(VK_TAB, {VK_SHIFT});
            else
                press_key(VK_TAB);
        });
    steps.push_back([&] { seen.push_back(GetFocus()); });
    driver.run_steps(steps);
    EXPECT_EQ(seen, expected);
}

TEST_F(Win32FrameTest, TabOrderFollowsCreationOrderAndSkipsDisabledControls)
{
    struct Row {
        const char* what;
        std::vector<Control> disabled;
        Control from;
        bool backward;
        Control expected;
    };
    const Row rows[] = {
        {"forward", {}, mw::stage_combo, false, mw::device_combo},
        {"past a disabled combo", {mw::device_combo}, mw::stage_combo, false, mw::auto_volume_box},
        {"backward past a disabled combo", {mw::device_combo}, mw::auto_volume_box, true,
         mw::stage_combo},
        {"wraps forward", {}, mw::auto_volume_box, false, mw::stage_combo},
        {"wraps backward", {}, mw::stage_combo, true, mw::auto_volume_box},
        {"from a label", {}, mw::today_stage_one, false, mw::auto_volume_box},
        {"nothing usable keeps the focus",
         {mw::stage_combo, mw::device_combo, mw::auto_volume_box}, mw::today_stage_one, false,
         mw::today_stage_one},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        load(WindowId::main);
        for (Control c : row.disabled)
            set_int(frame(), c, Property::disabled, 1);
        HWND expected = handle(row.expected);
        HWND focus_after = nullptr;
        driver.run_steps({
            [&] {
                frame().move_focus(row.from);
                if (row.backward)
                    press_key(VK_TAB, {VK_SHIFT});
                else
                    press_key(VK_TAB);
            },
            [&] { focus_after = GetFocus(); },
        });
        EXPECT_EQ(focus_after, expected);
        EXPECT_EQ(sink.events, std::vector<std::string>{"main can be closed"});
        sink.events.clear();
    }
}

TEST_F(Win32FrameTest, EscapeClosesOnlyTheInstructionsWindowWhateverHasTheFocus)
{
    struct Row {
        WindowId window;
        Control focus; // empty name: where the window put it
        bool closes;
    };
    const Row rows[] = {
        {WindowId::main, mw::window, false},
        {WindowId::main, mw::device_combo, false},
        {WindowId::notice, notice_window::window, false},
        {WindowId::instructions, iw::window, true},
        {WindowId::instructions, iw::text_box, true},
        {WindowId::instructions, iw::cover_label, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.focus.name) + " in window " + std::to_string(int(row.window)));
        load(row.window);
        // Closed by Esc in step 1, or by the driver after the last step.
        int step = 0, closed_in_step = -1;
        sink.on_each = [&](WindowId, std::string_view, Event event) {
            if (event == Event::can_be_closed)
                closed_in_step = step;
        };
        driver.run_steps({
            [&] {
                step = 1;
                if (!row.focus.name.empty())
                    frame().move_focus(row.focus);
                press_key(VK_ESCAPE);
            },
            [&] { step = 2; },
        });
        EXPECT_EQ(closed_in_step, row.closes ? 1 : 2);
        EXPECT_EQ(sink.events.size(), 1u);
        sink.events.clear();
    }
}

TEST_F(Win32FrameTest, EnterNeverMovesTheFocusAndStartsANewLineInTheEditBox)
{
    load(WindowId::main);
    HWND stage = handle(mw::stage_combo);
    HWND focus_after = nullptr;
    driver.run_steps({[&] { press_key(VK_RETURN); }, [&] { focus_after = GetFocus(); }});
    EXPECT_EQ(focus_after, stage);

    load(WindowId::instructions);
    HWND edit = handle(iw::text_box);
    const int length_before = GetWindowTextLengthW(edit);
    int length_after = 0;
    driver.run_steps({
        [&] {
            frame().move_focus(iw::text_box);
            press_key(VK_RETURN);
        },
        [&] {
            focus_after = GetFocus();
            length_after = GetWindowTextLengthW(edit);
        },
    });
    EXPECT_EQ(focus_after, edit);
    EXPECT_EQ(length_after, length_before + 2); // CR LF
}

TEST_F(Win32FrameTest, FocusReturnsToTheControlThatHadItWhenTheWindowIsActivatedAgain)
{
    load(WindowId::main);
    HWND device = handle(mw::device_combo);
    HWND main = handle(WindowId::main);
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW,
                                 10, 10, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
    HWND focus_while_away = nullptr, focus_back = nullptr;
    driver.run_steps({
        [&] { press_key(VK_TAB); }, // to 设备组合框
        [&] { ShowWindow(other, SW_SHOW); },
        [&] {
            focus_while_away = GetFocus();
            SetForegroundWindow(main);
        },
        [&] { focus_back = GetFocus(); },
    });
    DestroyWindow(other);
    EXPECT_NE(focus_while_away, device);
    EXPECT_EQ(focus_back, device);
}

TEST_F(Win32FrameTest, EveryWayOfClosingRaisesCanBeClosedOnceAndDestroysTheWindow)
{
    struct Way {
        const char* what;
        std::function<void(HWND)> close;
    };
    const Way ways[] = {
        {"close box", [](HWND w) { click_at(close_box_point(w)); }},
        // In the main window the focus is on a combo box, which some systems
        // let keep Alt+F4.
        {"Alt+F4", [](HWND) { press_key(VK_F4, {VK_MENU}); }},
        {"system menu", [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); }},
    };
    for (const Way& way : ways)
        for (WindowId window : {WindowId::main, WindowId::notice, WindowId::instructions}) {
            SCOPED_TRACE(std::string(way.what) + " on window " + std::to_string(int(window)));
            load(window);
            HWND handle_before = handle(window);
            // Closed in step 1, not by the driver after the last step.
            int step = 0, closed_in_step = -1;
            sink.on_each = [&](WindowId, std::string_view, Event event) {
                if (event == Event::can_be_closed)
                    closed_in_step = step;
            };
            driver.run_steps({
                [&] {
                    step = 1;
                    way.close(handle_before);
                },
                [&] { step = 2; },
            });
            EXPECT_EQ(closed_in_step, 1);
            EXPECT_EQ(sink.events.size(), 1u);
            EXPECT_FALSE(IsWindow(handle_before));
            sink.events.clear();
        }
}

TEST_F(Win32FrameTest, SessionEndQueryRunsTheMainCloseHandlerAnswersYesAndClosesNothing)
{
    load(WindowId::main);
    load(WindowId::notice);
    for (WindowId window : {WindowId::main, WindowId::notice})
        EXPECT_EQ(SendMessageW(handle(window), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(sink.events, std::vector<std::string>{"main can be closed"});
    EXPECT_TRUE(driver.is_loaded(WindowId::main));
    EXPECT_TRUE(driver.is_loaded(WindowId::notice));
}

TEST_F(Win32FrameTest, AWindowWaitingForAModalOneIgnoresCloseRequests)
{
    load(WindowId::main);
    bool main_loaded_while_open = false;
    driver.on_modal([&](WindowId) {
        PostMessageW(handle(WindowId::main), WM_CLOSE, 0, 0);
        PostMessageW(handle(WindowId::main), WM_SYSCOMMAND, SC_CLOSE, 0);
        pump_until_idle();
        main_loaded_while_open = driver.is_loaded(WindowId::main);
    });
    frame().load_window_modal(WindowId::instructions);
    EXPECT_TRUE(main_loaded_while_open);
    EXPECT_EQ(sink.events,
              (std::vector<std::string>{"instructions created", "instructions can be closed"}));
    EXPECT_TRUE(driver.is_enabled(WindowId::main));
}

TEST_F(Win32FrameTest, ComboPicksByKeyboardRaiseListItemSelectedAndACancelledListDoesNot)
{
    // An opened list follows the mouse pointer: keep it off the list.
    SetCursorPos(0, 0);
    load(WindowId::main);
    std::vector<std::int32_t> selections;
    sink.on_each = [&](WindowId, std::string_view control, Event event) {
        if (control == mw::device_combo.name && event == Event::list_item_selected)
            selections.push_back(get_int(frame(), mw::device_combo, Property::current_selection));
    };
    driver.run_steps({
        [&] {
            frame().move_focus(mw::device_combo);
            press_key(VK_DOWN); // closed box: the next item
        },
        [&] { press_key(VK_F4); },     // open the list
        [&] { press_key(VK_ESCAPE); }, // and close it without a pick
        [&] { press_key(VK_F4); },
        [&] { press_key(VK_DOWN); },
        [&] { press_key(VK_RETURN); }, // pick the item below
    });
    EXPECT_EQ(selections, (std::vector<std::int32_t>{1, 2}));
}
