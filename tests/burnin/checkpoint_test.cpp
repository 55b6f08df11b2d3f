// A run saves its progress every full minute of counted time, exactly as a
// stop would, so that a crash or a power cut loses at most that minute.
#include "tests/burnin/burnin_fixture.h"

using namespace main_window;

TEST_F(BurnIn, ARunSavesItsProgressEveryFullMinuteOfCountedTime)
{
    store(1, "Today", "Current date", "2013年6月5日");
    store(1, "Today", "Stage one", "1小时00分00秒");
    store(1, "Aggregate", "Stage one", "5小时00分30秒");
    const std::string before = TempFolder::read(ini(1));
    close_notice_at_once();

    run([&](HeadlessFrame& f) {
        f.click(start_button);
        f.advance(59 * 1000);
        EXPECT_EQ(caption(today_stage_one), "1小时00分59秒");
        EXPECT_EQ(TempFolder::read(ini(1)), before) << "nothing is saved before a full minute";

        f.advance(1000);
        const std::string at_one_minute = TempFolder::read(ini(1));
        EXPECT_EQ(stored(1, "Today", "Current date"), "2013年6月5日");
        EXPECT_EQ(stored(1, "Today", "Stage one"), "1小时01分00秒");
        EXPECT_EQ(stored(1, "Aggregate", "Stage one"), "5小时01分30秒");
        EXPECT_EQ(stored(1, "Today", "Stage two"), "") << "an empty label is saved empty";

        f.advance(65 * 1000); // 125 ticks in all
        EXPECT_EQ(stored(1, "Today", "Stage one"), "1小时02分00秒");
        EXPECT_EQ(stored(1, "Aggregate", "Stage one"), "5小时02分30秒");

        f.click(stop_button);
        EXPECT_EQ(stored(1, "Today", "Stage one"), "1小时02分05秒");
        EXPECT_EQ(stored(1, "Aggregate", "Stage one"), "5小时02分35秒");

        // What a checkpoint leaves is what a stop at that moment leaves.
        TempFolder::write(ini(1), before);
        f.click(start_button);
        f.advance(60 * 1000);
        const std::string checkpoint = TempFolder::read(ini(1));
        f.click(stop_button);
        EXPECT_EQ(checkpoint, TempFolder::read(ini(1)));
        EXPECT_NE(checkpoint, at_one_minute);
    });
}

TEST_F(BurnIn, EachRunCountsItsOwnMinuteAndSavesItsOwnDevice)
{
    close_notice_at_once();
    run([&](HeadlessFrame& f) {
        f.select_item(device_combo, 2);
        f.select_item(stage_combo, 1);
        f.click(start_button);
        f.advance(40 * 1000);
        f.click(stop_button);
        const std::string after_stop = TempFolder::read(ini(3));

        // 40 ticks of the last run and 59 of this one make no minute of this run.
        f.click(start_button);
        f.advance(59 * 1000);
        EXPECT_EQ(TempFolder::read(ini(3)), after_stop);
        clock.set({2013, 6, 6, 0, 0, 30}); // midnight has passed meanwhile
        f.advance(1000);
        EXPECT_EQ(stored(3, "Today", "Current date"), "2013年6月6日");
        EXPECT_EQ(stored(3, "Today", "Stage two"), "0小时01分40秒");
        EXPECT_FALSE(std::filesystem::exists(ini(1)));
    });
}
