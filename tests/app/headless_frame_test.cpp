// What the headless frame adds beyond the shared contract: its event log,
// loud errors for wrong names, focus, scripts and user actions.
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/controls.h"
#include "tests/support/headless_frame.h"

namespace {
namespace mw = main_window;
using Log = std::vector<std::string>;

// Lets a test act inside a handler.
class CallbackSink final : public EventSink {
public:
    std::function<void(WindowId, std::string_view, Event)> on;
    void on_event(WindowId window, std::string_view control, Event event) override
    {
        if (on)
            on(window, control, event);
    }
};

class AppHeadlessFrame : public ::testing::Test {
protected:
    void SetUp() override { frame.set_event_sink(&sink); }
    void load_main()
    {
        ASSERT_TRUE(frame.load_window(WindowId::main));
        frame.clear_log();
    }
    CallbackSink sink;
    HeadlessFrame frame;
};

TEST_F(AppHeadlessFrame, LoadingLogsCreatedThenShown)
{
    ASSERT_TRUE(frame.load_window(WindowId::main));
    EXPECT_EQ(frame.log(), (Log{"created main", "shown main"}));
}

TEST_F(AppHeadlessFrame, ModalLoadingOrder)
{
    load_main();
    frame.set_modal_script([](HeadlessFrame& f, WindowId w) { f.request_close(w); });
    frame.load_window_modal(WindowId::notice);
    EXPECT_EQ(frame.log(), (Log{"created notice", "shown notice", "disabled main",
                                "can be closed notice", "enabled main", "destroyed notice"}));
    EXPECT_EQ(frame.nesting_depth(), 0);
}

TEST_F(AppHeadlessFrame, ModalWindowLeftOpenByItsScriptIsClosedByTheFrame)
{
    load_main();
    int depth_inside = 0;
    frame.set_modal_script([&](HeadlessFrame& f, WindowId) { depth_inside = f.nesting_depth(); });
    frame.load_window_modal(WindowId::instructions);
    EXPECT_EQ(depth_inside, 1);
    EXPECT_FALSE(frame.is_loaded(WindowId::instructions));
    EXPECT_EQ(frame.log().back(), "destroyed instructions");
    EXPECT_EQ(std::count(frame.log().begin(), frame.log().end(), "can be closed instructions"), 1);
}

TEST_F(AppHeadlessFrame, WrongNamesFailLoudly)
{
    struct Row {
        const char* what;
        std::function<void(HeadlessFrame&)> act;
    };
    const Row rows[] = {
        {"unknown control",
         [](HeadlessFrame& f) { f.get_property({WindowId::main, "按钮4"}, Property::caption); }},
        {"control of another window",
         [](HeadlessFrame& f) { f.get_property({WindowId::main, "编辑框1"}, Property::caption); }},
        {"window not loaded",
         [](HeadlessFrame& f) { f.get_property(notice_window::choice_label, Property::caption); }},
        {"write to unknown control",
         [](HeadlessFrame& f) { set_int(f, {WindowId::main, "时钟2"}, Property::period, 1000); }},
        {"period of a label",
         [](HeadlessFrame& f) { set_int(f, mw::today_stage_one, Property::period, 1000); }},
        {"caption of a combo box", [](HeadlessFrame& f) { set_caption(f, mw::stage_combo, "x"); }},
        {"caption as an integer",
         [](HeadlessFrame& f) { f.set_property(mw::today_stage_one, Property::caption, 1); }},
        {"items of a label", [](HeadlessFrame& f) { f.combo_item_text(mw::today_stage_one, 0); }},
        {"focus to unknown control", [](HeadlessFrame& f) { f.move_focus({WindowId::main, "标签7"}); }},
        {"clicking a label", [](HeadlessFrame& f) { f.click(mw::today_stage_one); }},
        {"picking outside the list", [](HeadlessFrame& f) { f.select_item(mw::device_combo, 5); }},
        {"closing a window not loaded", [](HeadlessFrame& f) { f.request_close(WindowId::notice); }},
        {"loading a loaded window", [](HeadlessFrame& f) { f.load_window(WindowId::main); }},
        {"time backwards", [](HeadlessFrame& f) { f.advance(-1); }},
    };
    load_main();
    for (const Row& row : rows)
        EXPECT_THROW(row.act(frame), std::logic_error) << row.what;
}

TEST_F(AppHeadlessFrame, PropertiesAKindLacksReadZero)
{
    load_main();
    struct Row {
        Control control;
        Property property;
    };
    const Row rows[] = {
        {mw::today_stage_one, Property::period},
        {mw::today_stage_one, Property::checked},
        {mw::start_button, Property::current_selection},
        {mw::window, Property::period},
    };
    for (const Row& row : rows)
        EXPECT_EQ(get_int(frame, row.control, row.property), 0) << row.control.name;
    EXPECT_EQ(get_caption(frame, mw::window), "Orvane耳机专用煲机软件 V1.0");
    EXPECT_EQ(get_caption(frame, mw::device_combo), "设备一");
}

TEST_F(AppHeadlessFrame, SelectionOutsideTheListLeavesNoneSelected)
{
    load_main();
    for (std::int32_t index : {-1, 5, 100}) {
        set_int(frame, mw::device_combo, Property::current_selection, index);
        EXPECT_EQ(get_int(frame, mw::device_combo, Property::current_selection), -1) << index;
        EXPECT_EQ(get_caption(frame, mw::device_combo), "") << index;
    }
}

TEST_F(AppHeadlessFrame, FirstShownMainWindowFocusesTheStageCombo)
{
    load_main();
    EXPECT_TRUE(frame.has_focus(mw::stage_combo));
}

TEST_F(AppHeadlessFrame, TabVisitsTheReachableTabStopsInCreationOrder)
{
    load_main();
    struct Row {
        bool backward;
        Control expected;
    };
    const Row rows[] = {
        {false, mw::device_combo}, {false, mw::auto_volume_box}, {false, mw::stage_combo},
        {true, mw::auto_volume_box}, {true, mw::device_combo},   {true, mw::stage_combo},
    };
    for (const Row& row : rows) {
        frame.press_tab(row.backward);
        EXPECT_TRUE(frame.has_focus(row.expected)) << row.expected.name;
    }
    // From a label, Tab goes on to the next stop after it in creation order.
    frame.move_focus(mw::today_stage_one);
    frame.press_tab();
    EXPECT_TRUE(frame.has_focus(mw::auto_volume_box));
}

TEST_F(AppHeadlessFrame, TabDoesNothingWhenEveryStopIsDisabled)
{
    load_main();
    for (Control c : {mw::stage_combo, mw::device_combo, mw::auto_volume_box})
        set_int(frame, c, Property::disabled, 1);
    frame.move_focus(mw::today_stage_one);
    frame.press_tab();
    EXPECT_TRUE(frame.has_focus(mw::today_stage_one));
}

TEST_F(AppHeadlessFrame, FocusReturnsAfterTheModalWindowCloses)
{
    load_main();
    sink.on = [&](WindowId w, std::string_view, Event e) {
        if (w == WindowId::instructions && e == Event::created)
            frame.move_focus(instructions_window::cover_label);
    };
    bool cover_focused = false;
    frame.set_modal_script([&](HeadlessFrame& f, WindowId) {
        cover_focused = f.has_focus(instructions_window::cover_label);
    });
    frame.move_focus(mw::today_stage_one);
    frame.load_window_modal(WindowId::instructions);
    EXPECT_TRUE(cover_focused);
    EXPECT_TRUE(frame.has_focus(mw::today_stage_one));
}

TEST_F(AppHeadlessFrame, ClickTakesTheFocus)
{
    load_main();
    frame.click(mw::stop_button);
    EXPECT_TRUE(frame.has_focus(mw::stop_button));
}

TEST_F(AppHeadlessFrame, EscClosesOnlyWhereTheDefinitionSaysSo)
{
    load_main();
    frame.press_escape();
    EXPECT_TRUE(frame.is_loaded(WindowId::main));

    bool closed_by_esc = false;
    frame.set_modal_script([&](HeadlessFrame& f, WindowId w) {
        f.press_tab(); // Esc also works from inside the edit box
        f.press_escape();
        closed_by_esc = !f.is_loaded(w);
    });
    frame.load_window_modal(WindowId::instructions);
    EXPECT_TRUE(closed_by_esc);

    frame.set_modal_script([&](HeadlessFrame& f, WindowId w) {
        f.press_escape();
        closed_by_esc = !f.is_loaded(w);
    });
    frame.load_window_modal(WindowId::notice);
    EXPECT_FALSE(closed_by_esc);
}

TEST_F(AppHeadlessFrame, MainWindowIgnoresTheUserWhileAModalWindowIsOpen)
{
    load_main();
    frame.set_modal_script([](HeadlessFrame& f, WindowId) {
        f.click(mw::start_button);
        f.select_item(mw::device_combo, 2);
        EXPECT_FALSE(f.request_close(WindowId::main));
    });
    frame.load_window_modal(WindowId::notice);
    EXPECT_EQ(get_int(frame, mw::device_combo, Property::current_selection), 0);
    EXPECT_EQ(std::count(frame.log().begin(), frame.log().end(), "ignored click main 按钮1"), 1);
    EXPECT_TRUE(frame.is_loaded(WindowId::main));
}

TEST_F(AppHeadlessFrame, QueryEndSessionAsksTheMainWindowButLeavesItOpen)
{
    load_main();
    EXPECT_TRUE(frame.query_end_session());
    EXPECT_EQ(frame.log(), (Log{"query end session", "can be closed main"}));
    EXPECT_TRUE(frame.is_loaded(WindowId::main));
}

TEST_F(AppHeadlessFrame, MessagesAreRecordedAndDismissedByReturning)
{
    load_main();
    std::vector<bool> focus_none;
    frame.set_message_script([&](HeadlessFrame& f, const ShownMessage&) {
        focus_none.push_back(!f.focus().has_value());
    });
    frame.show_message("甲", "乙");
    frame.show_message("丙", "丁");
    EXPECT_EQ(frame.messages(), (std::vector<ShownMessage>{{"甲", "乙"}, {"丙", "丁"}}));
    EXPECT_EQ(focus_none, (std::vector<bool>{true, true}));
    EXPECT_TRUE(frame.has_focus(mw::stage_combo));
    EXPECT_EQ(frame.nesting_depth(), 0);
}

TEST_F(AppHeadlessFrame, MainLoopScriptThenTheFrameClosesWhatIsLeft)
{
    load_main();
    std::int64_t time_in_loop = -1;
    frame.set_main_loop_script([&](HeadlessFrame& f) {
        f.advance(1500);
        time_in_loop = f.now();
    });
    frame.run_message_loop();
    EXPECT_EQ(time_in_loop, 1500);
    EXPECT_FALSE(frame.is_loaded(WindowId::main));
    EXPECT_EQ(frame.log(), (Log{"can be closed main", "destroyed main", "loop ended"}));
}

TEST_F(AppHeadlessFrame, RefusedWindowIsNotCreated)
{
    frame.refuse_to_create(WindowId::main);
    EXPECT_FALSE(frame.load_window(WindowId::main));
    EXPECT_FALSE(frame.is_loaded(WindowId::main));
    EXPECT_TRUE(frame.log().empty());
}

TEST_F(AppHeadlessFrame, HandlerMayAdvanceTimeInsideATick)
{
    // A tick whose handler opens a nested loop that lets time pass: the ticks
    // due meanwhile arrive inside it, none twice, none late.
    load_main();
    set_int(frame, mw::clock, Property::period, 1000);
    std::vector<std::int64_t> tick_times;
    sink.on = [&](WindowId, std::string_view control, Event e) {
        if (control != mw::clock.name || e != Event::periodic)
            return;
        tick_times.push_back(frame.now());
        if (tick_times.size() == 1)
            frame.advance(2500);
    };
    frame.advance(5000);
    EXPECT_EQ(tick_times, (std::vector<std::int64_t>{1000, 2000, 3000, 4000, 5000}));
    EXPECT_EQ(frame.now(), 5000);
}
} // namespace
