// The frame contract's cases: event order at creation, modal loading, timers,
// closing, the end of the loop, properties and combo items.
#include "tests/app/frame_conformance.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "app/controls.h"
#include "tests/support/frame_names.h"

namespace {
namespace mw = main_window;

std::string describe(WindowId window, std::string_view control, Event event)
{
    std::string s(window_name(window));
    if (!control.empty()) {
        s += ' ';
        s += control;
    }
    s += ' ';
    s += event_name(event);
    return s;
}

const std::string clock_tick = describe(WindowId::main, mw::clock.name, Event::periodic);
} // namespace

void RecordingSink::on_event(WindowId window, std::string_view control, Event event)
{
    events.push_back(describe(window, control, event));
    if (on_each)
        on_each(window, control, event);
}

void PrintTo(const FrameImplementation& implementation, std::ostream* out)
{
    *out << implementation.name;
}

std::string conformance_case_name(const ::testing::TestParamInfo<FrameImplementation>& info)
{
    return info.param.name;
}

void AppFrameConformance::SetUp()
{
    driver_ = GetParam().make_driver();
    frame().set_event_sink(&sink);
}

void AppFrameConformance::TearDown()
{
    frame().set_event_sink(nullptr);
    driver_.reset();
}

void AppFrameConformance::load_main()
{
    ASSERT_TRUE(frame().load_window(WindowId::main));
    sink.events.clear();
}

int AppFrameConformance::count_events(std::string_view text) const
{
    return static_cast<int>(std::count(sink.events.begin(), sink.events.end(), text));
}

TEST_P(AppFrameConformance, CreatedRunsBeforeShownAndNothingElseDuringCreation)
{
    for (WindowId window : {WindowId::main, WindowId::notice, WindowId::instructions}) {
        SCOPED_TRACE(window_name(window));
        sink.events.clear();
        std::optional<bool> shown_in_created;
        std::size_t events_before_created = 0;
        sink.on_each = [&](WindowId w, std::string_view, Event event) {
            if (w == window && event == Event::created) {
                shown_in_created = driver().is_shown(window);
                events_before_created = sink.events.size() - 1;
            }
        };
        ASSERT_TRUE(frame().load_window(window));
        ASSERT_TRUE(shown_in_created.has_value());
        EXPECT_FALSE(*shown_in_created);
        EXPECT_EQ(events_before_created, 0u);
        EXPECT_TRUE(driver().is_shown(window));
        // The initial selections of the combo boxes raised nothing either.
        EXPECT_EQ(sink.events, std::vector<std::string>{describe(window, "", Event::created)});
        sink.on_each = nullptr;
        driver().request_close(window);
    }
}

TEST_P(AppFrameConformance, ControlsStartInTheirDefinedStates)
{
    load_main();
    EXPECT_EQ(get_int(frame(), mw::stage_combo, Property::current_selection), 0);
    EXPECT_EQ(get_int(frame(), mw::device_combo, Property::current_selection), 0);
    EXPECT_EQ(get_int(frame(), mw::auto_volume_box, Property::checked), 1);
    EXPECT_EQ(get_int(frame(), mw::start_button, Property::disabled), 0);
    EXPECT_EQ(get_int(frame(), {WindowId::main, "选择框2"}, Property::disabled), 1);
    EXPECT_EQ(get_int(frame(), {WindowId::main, "选择框2"}, Property::checked), 0);
    EXPECT_EQ(get_int(frame(), mw::clock, Property::period), 0);
    EXPECT_EQ(get_caption(frame(), mw::today_stage_one), "0小时00分00秒");
    EXPECT_EQ(get_caption(frame(), mw::start_button), "开始煲机");
}

TEST_P(AppFrameConformance, ModalLoadingDisablesOtherWindowsAndRestoresTheirStates)
{
    for (bool notice_enabled : {true, false}) {
        SCOPED_TRACE(notice_enabled ? "notice enabled before" : "notice disabled before");
        load_main();
        ASSERT_TRUE(frame().load_window(WindowId::notice));
        driver().set_window_enabled(WindowId::notice, notice_enabled);

        std::optional<bool> main_enabled_in_created;
        sink.on_each = [&](WindowId w, std::string_view, Event event) {
            if (w == WindowId::instructions && event == Event::created)
                main_enabled_in_created = driver().is_enabled(WindowId::main);
        };
        std::vector<bool> while_open;
        driver().on_modal([&](WindowId window) {
            EXPECT_EQ(window, WindowId::instructions);
            while_open = {driver().is_enabled(WindowId::main),
                          driver().is_enabled(WindowId::notice),
                          driver().is_enabled(WindowId::instructions),
                          driver().is_shown(WindowId::instructions)};
            driver().request_close(WindowId::instructions);
        });
        frame().load_window_modal(WindowId::instructions);

        // Shown first, then the others are disabled.
        EXPECT_EQ(main_enabled_in_created, std::optional<bool>(true));
        EXPECT_EQ(while_open, (std::vector<bool>{false, false, true, true}));
        EXPECT_FALSE(driver().is_loaded(WindowId::instructions));
        EXPECT_TRUE(driver().is_enabled(WindowId::main));
        EXPECT_EQ(driver().is_enabled(WindowId::notice), notice_enabled);

        sink.on_each = nullptr;
        driver().set_window_enabled(WindowId::notice, true);
        driver().request_close(WindowId::notice);
        driver().request_close(WindowId::main);
    }
}

TEST_P(AppFrameConformance, NestedLoopDeliversTheTimer)
{
    load_main();
    set_int(frame(), mw::clock, Property::period, 1000);
    int ticks_while_open = -1;
    driver().on_modal([&](WindowId window) {
        driver().advance(3000);
        ticks_while_open = count_events(clock_tick);
        driver().request_close(window);
    });
    frame().load_window_modal(WindowId::instructions);
    EXPECT_EQ(ticks_while_open, 3);
}

TEST_P(AppFrameConformance, PeriodWrites)
{
    // The timer runs with 1000 from time 0; at 600 the second period is written.
    struct Row {
        const char* what;
        std::int32_t second_period;
        int ticks_by_1000, ticks_by_2600;
        std::int32_t period_read;
    };
    const Row rows[] = {
        {"the same period does not restart", 1000, 1, 2, 1000},
        {"another period restarts", 2000, 0, 1, 2000},
        {"zero stops", 0, 0, 0, 0},
        {"a negative period is zero", -1000, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        load_main();
        set_int(frame(), mw::clock, Property::period, 1000);
        driver().advance(600);
        set_int(frame(), mw::clock, Property::period, row.second_period);
        EXPECT_EQ(get_int(frame(), mw::clock, Property::period), row.period_read);
        driver().advance(400);
        EXPECT_EQ(count_events(clock_tick), row.ticks_by_1000);
        driver().advance(1600);
        EXPECT_EQ(count_events(clock_tick), row.ticks_by_2600);
        driver().request_close(WindowId::main);
    }
}

TEST_P(AppFrameConformance, NegativePeriodOnAStoppedTimerReadsZero)
{
    for (std::int32_t period : {-1, -1000, 0}) {
        load_main();
        set_int(frame(), mw::clock, Property::period, period);
        EXPECT_EQ(get_int(frame(), mw::clock, Property::period), 0) << period;
        driver().advance(5000);
        EXPECT_EQ(count_events(clock_tick), 0) << period;
        driver().request_close(WindowId::main);
    }
}

TEST_P(AppFrameConformance, FirstTickComesOneFullPeriodAfterStart)
{
    load_main();
    driver().advance(250);
    set_int(frame(), mw::clock, Property::period, 1000);
    driver().advance(999);
    EXPECT_EQ(count_events(clock_tick), 0);
    driver().advance(1);
    EXPECT_EQ(count_events(clock_tick), 1);
}

TEST_P(AppFrameConformance, CanBeClosedWithoutResultClosesTheWindow)
{
    for (WindowId window : {WindowId::main, WindowId::notice, WindowId::instructions}) {
        SCOPED_TRACE(window_name(window));
        ASSERT_TRUE(frame().load_window(window));
        sink.events.clear();
        driver().request_close(window);
        EXPECT_EQ(sink.events, std::vector<std::string>{describe(window, "", Event::can_be_closed)});
        EXPECT_FALSE(driver().is_loaded(window));
    }
}

TEST_P(AppFrameConformance, ReloadedWindowStartsAfresh)
{
    ASSERT_TRUE(frame().load_window(WindowId::notice));
    set_caption(frame(), notice_window::choice_label, "设备编号：设备三");
    driver().request_close(WindowId::notice);
    sink.events.clear();
    ASSERT_TRUE(frame().load_window(WindowId::notice));
    EXPECT_EQ(get_caption(frame(), notice_window::choice_label), "");
    EXPECT_EQ(sink.events, std::vector<std::string>{"notice created"});
}

TEST_P(AppFrameConformance, LoopEndsWhenTheLastWindowIsDestroyed)
{
    load_main();
    ASSERT_TRUE(frame().load_window(WindowId::notice));
    sink.events.clear();
    std::vector<bool> after_notice, after_main;
    driver().run_loop([&] {
        driver().request_close(WindowId::notice);
        after_notice = {driver().loop_end_requested(), driver().is_loaded(WindowId::main)};
        driver().request_close(WindowId::main);
        after_main = {driver().loop_end_requested(), driver().is_loaded(WindowId::main)};
    });
    EXPECT_EQ(after_notice, (std::vector<bool>{false, true}));
    EXPECT_EQ(after_main, (std::vector<bool>{true, false}));
    EXPECT_EQ(sink.events, (std::vector<std::string>{"notice can be closed", "main can be closed"}));
}

TEST_P(AppFrameConformance, ComboItemText)
{
    struct Row {
        Control combo;
        std::int32_t index;
        std::string_view text;
    };
    const Row rows[] = {
        {mw::stage_combo, -1, ""},
        {mw::stage_combo, 0, "第一阶段"},
        {mw::stage_combo, 2, "第三阶段"},
        {mw::stage_combo, 3, ""},
        {mw::device_combo, -1, ""},
        {mw::device_combo, 4, "设备五"},
        {mw::device_combo, 5, ""},
        {mw::device_combo, INT32_MIN, ""},
        {mw::device_combo, INT32_MAX, ""},
    };
    load_main();
    for (const Row& row : rows)
        EXPECT_EQ(frame().combo_item_text(row.combo, row.index), row.text)
            << row.combo.name << " " << row.index;
}

TEST_P(AppFrameConformance, MessageBoxKeepsTheTimerTickingAndDisablesTheWindows)
{
    load_main();
    set_int(frame(), mw::clock, Property::period, 1000);
    std::string seen_text, seen_title;
    std::optional<bool> main_enabled;
    int ticks_while_shown = -1;
    driver().on_message([&](std::string_view text, std::string_view title) {
        seen_text = text;
        seen_title = title;
        main_enabled = driver().is_enabled(WindowId::main);
        driver().advance(2000);
        ticks_while_shown = count_events(clock_tick);
    });
    frame().show_message("设备一的计时已清零", "提示");
    EXPECT_EQ(seen_text, "设备一的计时已清零");
    EXPECT_EQ(seen_title, "提示");
    EXPECT_EQ(main_enabled, std::optional<bool>(false));
    EXPECT_EQ(ticks_while_shown, 2);
    EXPECT_TRUE(driver().is_enabled(WindowId::main));
}

TEST_P(AppFrameConformance, PropertyWritesReadBack)
{
    struct Row {
        Control control;
        Property property;
        PropertyValue value;
    };
    const Row rows[] = {
        {mw::today_stage_one, Property::caption, Text("1小时05分09秒")},
        {mw::total_stage_three, Property::caption, Text("")},
        {mw::start_button, Property::disabled, 1},
        {mw::start_button, Property::disabled, 0},
        {mw::stage_combo, Property::disabled, 1},
        {mw::auto_volume_box, Property::disabled, 1},
        {mw::auto_volume_box, Property::checked, 0},
        {mw::auto_volume_box, Property::checked, 1},
        {mw::device_combo, Property::current_selection, 4},
        {mw::stage_combo, Property::current_selection, 2},
        {mw::clock, Property::period, 1000},
        {mw::clock, Property::period, 0},
    };
    load_main();
    for (const Row& row : rows) {
        frame().set_property(row.control, row.property, row.value);
        EXPECT_EQ(frame().get_property(row.control, row.property), row.value) << row.control.name;
    }
    // Writes raise no event: a selection set by a handler is not a user's pick.
    EXPECT_TRUE(sink.events.empty());
}

TEST_P(AppFrameConformance, CheckBoxIsToggledBeforeItsClickedEvent)
{
    load_main();
    std::vector<std::int32_t> checked_in_handler;
    sink.on_each = [&](WindowId, std::string_view control, Event event) {
        if (control == mw::auto_volume_box.name && event == Event::clicked)
            checked_in_handler.push_back(get_int(frame(), mw::auto_volume_box, Property::checked));
    };
    driver().click(mw::auto_volume_box);
    driver().click(mw::auto_volume_box);
    EXPECT_EQ(checked_in_handler, (std::vector<std::int32_t>{0, 1}));
}

TEST_P(AppFrameConformance, DisabledControlIgnoresClicks)
{
    load_main();
    driver().click({WindowId::main, "选择框2"});
    set_int(frame(), mw::start_button, Property::disabled, 1);
    driver().click(mw::start_button);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(get_int(frame(), {WindowId::main, "选择框2"}, Property::checked), 0);
    set_int(frame(), mw::start_button, Property::disabled, 0);
    driver().click(mw::start_button);
    EXPECT_EQ(sink.events, std::vector<std::string>{"main 按钮1 clicked"});
}

TEST_P(AppFrameConformance, PickingAnItemRaisesListItemSelectedEvenForTheSelectedOne)
{
    load_main();
    std::vector<std::int32_t> selection_in_handler;
    sink.on_each = [&](WindowId, std::string_view control, Event event) {
        if (control == mw::device_combo.name && event == Event::list_item_selected)
            selection_in_handler.push_back(
                get_int(frame(), mw::device_combo, Property::current_selection));
    };
    driver().select_item(mw::device_combo, 0);
    driver().select_item(mw::device_combo, 4);
    EXPECT_EQ(selection_in_handler, (std::vector<std::int32_t>{0, 4}));
}
