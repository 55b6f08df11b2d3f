// A full burn-in day and the main paths of start, stop, close and the clock,
// driven through the headless frame as a user would.
#include "tests/burnin/burnin_fixture.h"

#include <algorithm>

#include "app/window_handlers.h"

using namespace main_window;
using Request = RecordingTrackPlayer::Request;

TEST_F(BurnIn, AFullDay)
{
    store(1, "Today", "Current date", "2013年6月5日");
    store(1, "Today", "Stage one", "1小时05分09秒");
    store(1, "Aggregate", "Stage one", "12小时30分00秒");

    frame.set_modal_script([&](HeadlessFrame& f, WindowId w) {
        if (w == WindowId::notice) {
            // The track plays while the user sets the volume; the clock waits.
            EXPECT_EQ(player.requests, (std::vector<Request>{{-1, track(1)}}));
            EXPECT_EQ(caption(notice_window::choice_label), "设备编号：设备一    所选阶段：第一阶段");
            EXPECT_EQ(caption(notice_window::advice_label), notice_advice_text);
            EXPECT_FALSE(f.is_enabled(WindowId::main));
            f.advance(5000);
            EXPECT_EQ(caption(today_stage_one), "1小时05分09秒");
            volume.left = volume.right = 40000; // the user's listening volume
        } else {
            EXPECT_TRUE(f.has_focus(instructions_window::cover_label));
            EXPECT_FALSE(f.is_enabled(WindowId::main));
            f.advance(5000); // the run goes on behind the instructions
        }
        f.request_close(w);
    });

    int code = run([&](HeadlessFrame& f) {
        EXPECT_EQ(caption(today_stage_one), "1小时05分09秒");
        EXPECT_EQ(caption(total_stage_one), "12小时30分00秒");
        // Today's file lacks the other stages' today values: shown empty.
        EXPECT_EQ(caption(today_stage_two), "");
        EXPECT_EQ(caption(total_stage_three), "0小时00分00秒");

        f.click(start_button);
        EXPECT_TRUE(f.is_enabled(WindowId::main));
        for (Control c : {stage_combo, device_combo, auto_volume_box, start_button})
            EXPECT_TRUE(disabled(c));
        for (Control c : {stop_button, reset_button, instructions_button})
            EXPECT_FALSE(disabled(c));
        EXPECT_EQ(value(main_window::clock, Property::period), 1000);
        EXPECT_TRUE(f.has_focus(focus_parking));
        EXPECT_EQ(player.requests, (std::vector<Request>{{-1, track(1)}, {-1, track(1)}}));
        EXPECT_EQ(volume.calls, (std::vector<std::string>{"select 4", "get", "set 12000 12000"}));

        f.advance(1000);
        EXPECT_EQ(caption(today_stage_one), "1小时05分10秒");
        EXPECT_EQ(caption(total_stage_one), "12小时30分01秒");

        f.click(instructions_button);
        EXPECT_TRUE(f.is_enabled(WindowId::main));
        EXPECT_EQ(caption(today_stage_one), "1小时05分15秒");

        f.advance(3 * 3600 * 1000);
        EXPECT_EQ(caption(today_stage_one), "4小时05分15秒");
        EXPECT_EQ(caption(total_stage_one), "15小时30分06秒");
        EXPECT_EQ(caption(today_stage_two), "");

        f.click(stop_button);
        EXPECT_EQ(player.requests.back(), (Request{0, ""}));
        EXPECT_EQ(volume.calls.back(), "set 40000 40000");
        EXPECT_EQ(value(main_window::clock, Property::period), 0);
        for (Control c : {stage_combo, device_combo, auto_volume_box, start_button})
            EXPECT_FALSE(disabled(c));
        EXPECT_EQ(stored(1, "Today", "Stage one"), "4小时05分15秒");
        EXPECT_EQ(stored(1, "Aggregate", "Stage one"), "15小时30分06秒");

        f.advance(10000);
        EXPECT_EQ(caption(today_stage_one), "4小时05分15秒") << "the clock has stopped";

        volume.left = volume.right = 50000; // the user's own change after the run
        clock.set({2013, 6, 5, 22, 0, 0});
        f.request_close(WindowId::main);
    });

    EXPECT_EQ(code, 0);
    EXPECT_EQ(volume.left, 50000) << "close does not write the old volume over the user's";
    EXPECT_EQ(player.requests.back(), (Request{0, ""}));
    EXPECT_EQ(TempFolder::read(ini(1)),
              "[Today]\r\nCurrent date=2013年6月5日\r\nStage one=4小时05分15秒\r\n"
              "Stage two=\r\nStage three=\r\n"
              "[Aggregate]\r\nStage one=15小时30分06秒\r\nStage two=0小时00分00秒\r\n"
              "Stage three=0小时00分00秒\r\n");
}

TEST_F(BurnIn, StartResumesTodayOnlyOnTheStoredDay)
{
    struct Case {
        const char* stored_date; // nullptr: no file at all
        const char* first_today_tick;
    };
    const Case cases[] = {
        {"2013年6月5日", "2小时00分01秒"},
        {"2013年6月4日", "0小时00分01秒"},
        {"", "0小时00分01秒"},
        {nullptr, "0小时00分01秒"},
    };
    for (const auto& c : cases) {
        HeadlessFrame f;
        RecordingTrackPlayer p;
        FakeMasterVolume v;
        Program prog{f, p, v, clock, {}, {}, {}, {}};
        std::filesystem::remove(ini(2));
        if (c.stored_date) {
            store(2, "Today", "Current date", c.stored_date);
            store(2, "Today", "Stage two", "2小时00分00秒");
            store(2, "Aggregate", "Stage two", "3小时20分10秒");
        }
        f.set_main_loop_script([&](HeadlessFrame& fr) {
            fr.select_item(device_combo, 1);
            fr.select_item(stage_combo, 1);
            fr.click(auto_volume_box); // off: no notice window
            fr.click(start_button);
            fr.advance(1000);
            EXPECT_EQ(get_caption(fr, today_stage_two), c.first_today_tick) << c.stored_date;
            EXPECT_EQ(get_caption(fr, total_stage_two),
                      c.stored_date ? "3小时20分11秒" : "0小时00分01秒");
            EXPECT_EQ(p.requests, (std::vector<Request>{{-1, track(2)}}));
            EXPECT_EQ(v.calls, (std::vector<std::string>{"select 4"})) << "auto volume off";
            fr.request_close(WindowId::main);
        });
        EXPECT_EQ(run_program(f, prog, run_directory()), 0);
        EXPECT_EQ(stored(2, "Today", "Current date"), "2013年6月5日");
    }
}

TEST_F(BurnIn, ARunOverMidnightKeepsCountingAndSavesTheNewDay)
{
    clock.set({2013, 6, 5, 23, 59, 58});
    int code = run([&](HeadlessFrame& f) {
        close_notice_at_once();
        f.select_item(stage_combo, 2);
        f.click(start_button);
        f.advance(2000);
        clock.set({2013, 6, 6, 0, 0, 1});
        f.advance(3000);
        EXPECT_EQ(caption(today_stage_three), "0小时00分05秒");
        f.click(stop_button);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(stored(1, "Today", "Current date"), "2013年6月6日");
    EXPECT_EQ(stored(1, "Today", "Stage three"), "0小时00分05秒");
}

TEST_F(BurnIn, StopOrCloseWithoutARunSavesButLeavesTheVolumeAlone)
{
    int code = run([&](HeadlessFrame& f) {
        f.click(stop_button);
        EXPECT_EQ(stored(1, "Today", "Current date"), "2013年6月5日");
        EXPECT_EQ(stored(1, "Aggregate", "Stage three"), "0小时00分00秒");
        f.request_close(WindowId::main);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(volume.calls, (std::vector<std::string>{"select 4"})) << "no 0, 0 written";
    EXPECT_EQ(volume.left, 65535);
    EXPECT_EQ(player.requests, (std::vector<Request>{{0, ""}, {0, ""}, {0, ""}}));
}

TEST_F(BurnIn, CloseWhileRunningStopsRestoresAndSaves)
{
    int code = run([&](HeadlessFrame& f) {
        close_notice_at_once();
        f.select_item(stage_combo, 1);
        f.click(start_button);
        EXPECT_EQ(volume.left, 32767);
        f.advance(61000);
        f.request_close(WindowId::main);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(volume.left, 65535);
    EXPECT_EQ(volume.right, 65535);
    EXPECT_EQ(stored(1, "Today", "Stage two"), "0小时01分01秒");
    EXPECT_EQ(stored(1, "Aggregate", "Stage two"), "0小时01分01秒");
    EXPECT_EQ(std::count(volume.calls.begin(), volume.calls.end(), "set 65535 65535"), 1);
}

TEST_F(BurnIn, VolumeIsLeftAloneWhenItCannotBeRead)
{
    struct Case {
        bool has_mixer, read_fails;
    };
    for (Case c : {Case{false, false}, Case{true, true}}) {
        HeadlessFrame f;
        RecordingTrackPlayer p;
        FakeMasterVolume v;
        v.has_mixer = c.has_mixer;
        v.read_fails = c.read_fails;
        std::filesystem::remove(ini(1));
        Program prog{f, p, v, clock, {}, {}, {}, {}};
        f.set_modal_script([](HeadlessFrame& fr, WindowId w) { fr.request_close(w); });
        f.set_main_loop_script([&](HeadlessFrame& fr) {
            fr.click(start_button);
            fr.advance(2000);
            fr.click(stop_button);
            fr.request_close(WindowId::main);
        });
        EXPECT_EQ(run_program(f, prog, run_directory()), 0);
        EXPECT_EQ(std::count_if(v.calls.begin(), v.calls.end(),
                                [](const std::string& s) { return s.starts_with("set"); }),
                  0)
            << "mixer " << c.has_mixer << " read fails " << c.read_fails;
        EXPECT_EQ(v.left, 65535);
        EXPECT_EQ(stored(1, "Today", "Stage one"), "0小时00分02秒") << "the run itself goes on";
    }
}

TEST_F(BurnIn, OneChannelLineScalesOnlyTheLeftValue)
{
    volume.channels = 1;
    volume.left = 410;
    run([&](HeadlessFrame& f) {
        close_notice_at_once();
        f.click(start_button);
        EXPECT_EQ(volume.calls.back(), "set 122 0");
        f.click(stop_button);
        EXPECT_EQ(volume.calls.back(), "set 410 -1");
        f.request_close(WindowId::main);
    });
    EXPECT_EQ(volume.left, 410);
}

TEST_F(BurnIn, CancelledLogOffLeavesTheRunStoppedButTheControlsLocked)
{
    run([&](HeadlessFrame& f) {
        close_notice_at_once();
        f.click(start_button);
        f.advance(3000);
        EXPECT_TRUE(f.query_end_session());
        EXPECT_TRUE(f.is_loaded(WindowId::main));
        EXPECT_EQ(player.requests.back(), (Request{0, ""}));
        EXPECT_EQ(value(main_window::clock, Property::period), 0);
        EXPECT_TRUE(disabled(start_button));
        EXPECT_TRUE(disabled(stage_combo));
        EXPECT_EQ(stored(1, "Today", "Stage one"), "0小时00分03秒");
        f.click(stop_button);
        EXPECT_FALSE(disabled(start_button));
        f.request_close(WindowId::main);
    });
}

TEST_F(BurnIn, MainWindowThatCannotBeCreatedEndsTheProgram)
{
    frame.refuse_to_create(WindowId::main);
    bool looped = false;
    EXPECT_EQ(run([&](HeadlessFrame&) { looped = true; }), 1);
    EXPECT_FALSE(looped);
    EXPECT_EQ(player.requests, (std::vector<Request>{{0, ""}})) << "the exit step still runs";
    EXPECT_TRUE(program.progress_file_name.empty());
}
