// Loading on device change, the reset, and a run without a File folder.
#include "tests/burnin/burnin_fixture.h"

#include "burnin/elapsed_clock.h"

using namespace main_window;

TEST_F(BurnIn, SwitchingDevicesLoadsEachFileAndWritesNothing)
{
    store(1, "Today", "Current date", "2013年6月5日");
    store(1, "Aggregate", "Stage one", "5小时00分00秒");
    store(1, "Today", "Stage one", "1小时00分00秒");
    // Today's date but no "Stage two" under Today: that label is shown empty.
    store(2, "Today", "Current date", "2013年6月5日");
    store(2, "Today", "Stage one", "0小时10分00秒");
    store(2, "Aggregate", "Stage three", "not a duration");
    const std::string one = TempFolder::read(ini(1)), two = TempFolder::read(ini(2));

    run([&](HeadlessFrame& f) {
        f.select_item(device_combo, 1);
        EXPECT_EQ(program.progress_file_name, "\\File\\2.ini");
        EXPECT_EQ(caption(today_stage_one), "0小时10分00秒");
        EXPECT_EQ(caption(today_stage_two), "");
        EXPECT_EQ(caption(total_stage_one), "0小时00分00秒");
        EXPECT_EQ(caption(total_stage_two), "0小时00分00秒");
        EXPECT_EQ(caption(total_stage_three), "not a duration");

        f.select_item(device_combo, 4); // no such file: all zero
        EXPECT_EQ(caption(today_stage_one), "0小时00分00秒");
        EXPECT_EQ(caption(total_stage_three), "0小时00分00秒");

        f.select_item(device_combo, 0);
        EXPECT_EQ(caption(today_stage_one), "1小时00分00秒");
        EXPECT_EQ(caption(total_stage_one), "5小时00分00秒");

        clock.set({2013, 6, 6, 9, 0, 0}); // a day later the today values are zero
        f.select_item(device_combo, 0);
        EXPECT_EQ(caption(today_stage_one), "0小时00分00秒");
        EXPECT_EQ(caption(total_stage_one), "5小时00分00秒");

        EXPECT_EQ(TempFolder::read(ini(1)), one);
        EXPECT_EQ(TempFolder::read(ini(2)), two);
        EXPECT_FALSE(std::filesystem::exists(ini(5)));
    });
}

TEST_F(BurnIn, ResetWhileIdleClearsFileAndLabelsAndNamesTheDevice)
{
    store(3, "Today", "Current date", "2013年6月1日");
    store(3, "Aggregate", "Stage two", "40小时00分00秒");
    run([&](HeadlessFrame& f) {
        f.select_item(device_combo, 2);
        EXPECT_EQ(caption(total_stage_two), "40小时00分00秒");
        f.set_message_script([&](HeadlessFrame& fr, const ShownMessage&) {
            EXPECT_FALSE(fr.is_enabled(WindowId::main));
            for (Control c : {today_stage_one, today_stage_two, today_stage_three, total_stage_one,
                              total_stage_two, total_stage_three})
                EXPECT_EQ(caption(c), "0小时00分00秒");
        });
        f.click(reset_button);
        EXPECT_EQ(f.messages(), (std::vector<ShownMessage>{{"【设备三】计时清除完毕", "提示"}}));
        EXPECT_TRUE(f.has_focus(focus_parking));
        EXPECT_FALSE(disabled(start_button));
        f.request_close(WindowId::main);
    });
    for (const char* section : {"Today", "Aggregate"})
        for (const char* key : {"Stage one", "Stage two", "Stage three"})
            EXPECT_EQ(stored(3, section, key), "0小时00分00秒");
    // The close after the reset saved today's date with the zeros.
    EXPECT_EQ(stored(3, "Today", "Current date"), "2013年6月5日");
}

TEST_F(BurnIn, ResetDuringARunRestartsTheRunningStageFromZero)
{
    store(1, "Aggregate", "Stage one", "10小时00分00秒");
    run([&](HeadlessFrame& f) {
        close_notice_at_once();
        f.click(start_button);
        f.advance(5000);
        EXPECT_EQ(caption(total_stage_one), "10小时00分05秒");
        f.set_message_script([&](HeadlessFrame& fr, const ShownMessage&) {
            EXPECT_EQ(stored(1, "Aggregate", "Stage one"), "0小时00分00秒");
            EXPECT_EQ(stored(1, "Today", "Current date"), "") << "the reset leaves the date";
            fr.advance(1000); // the clock ticks behind the message box
            EXPECT_EQ(caption(today_stage_one), "0小时00分01秒");
            EXPECT_EQ(caption(total_stage_one), "0小时00分01秒");
        });
        f.click(reset_button);
        EXPECT_EQ(value(main_window::clock, Property::period), 1000) << "the run goes on";
        f.advance(2000);
        f.click(stop_button);
        f.request_close(WindowId::main);
    });
    EXPECT_EQ(stored(1, "Aggregate", "Stage one"), "0小时00分03秒");
    EXPECT_EQ(stored(1, "Today", "Stage one"), "0小时00分03秒");
}

TEST_F(BurnIn, MissingFileFolderLosesProgressQuietly)
{
    std::filesystem::remove_all(dir.path() / "File");
    run([&](HeadlessFrame& f) {
        EXPECT_EQ(caption(total_stage_one), "0小时00分00秒");
        close_notice_at_once();
        f.click(start_button);
        f.advance(3000);
        EXPECT_EQ(caption(today_stage_one), "0小时00分03秒");
        f.click(stop_button);
        f.click(reset_button);
        EXPECT_EQ(f.messages().size(), 1u);
        f.request_close(WindowId::main);
    });
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "File"));
    EXPECT_EQ(player.requests[0].path, track(1)) << "a missing track is still requested";
}

TEST_F(BurnIn, ClockCarriesEachUnitOnce)
{
    struct Case {
        RunCounters before;
        const char* today;
        const char* total;
    };
    const Case cases[] = {
        {{0, 0, 59, 3, 20, 10}, "0小时01分00秒", "3小时20分11秒"},
        {{0, 59, 59, 0, 59, 59}, "1小时00分00秒", "1小时00分00秒"},
        {{99, 59, 59, 99, 59, 59}, "100小时00分00秒", "100小时00分00秒"},
        {{1, 75, 10, 1, 75, 10}, "2小时00分11秒", "2小时00分11秒"},
        {{0, 0, 75, 0, 0, 75}, "0小时01分00秒", "0小时01分00秒"},
        {{0, -5, 7, 0, -5, 7}, "0小时-5分08秒", "0小时-5分08秒"},
        {{0, 0, INT32_MAX, 0, 0, 0}, "0小时00分-2147483648秒", "0小时00分01秒"},
    };
    EventRouter router(program);
    frame.set_event_sink(&router);
    ASSERT_TRUE(frame.load_window(WindowId::main));
    for (const auto& c : cases)
        for (std::int32_t stage = 0; stage < 3; ++stage) {
            frame.select_item(stage_combo, stage);
            for (Control label : today_labels)
                set_caption(frame, label, "x");
            program.counters = c.before;
            clock_tick(program);
            EXPECT_EQ(caption(today_labels[stage]), c.today);
            EXPECT_EQ(caption(total_labels[stage]), c.total);
            EXPECT_EQ(caption(today_labels[(stage + 1) % 3]), "x") << "other stages untouched";
        }
    frame.set_event_sink(nullptr);
}
