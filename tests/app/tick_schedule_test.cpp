// The deadline rule of the periodic timer: lateness is caught up, never
// accumulated, and a suspend is not made up.
#include <gtest/gtest.h>

#include "app/tick_schedule.h"

namespace {

// Fires the schedule at each given moment, and then again at once for as
// long as it reports an event still due (as a frame re-arming with 0 does).
int raise_all(TickSchedule& schedule, std::int64_t now)
{
    int raised = 0;
    while (schedule.fire(now))
        ++raised;
    return raised;
}

} // namespace

TEST(TickSchedule, DueAtStartPlusWholePeriods)
{
    TickSchedule s;
    s.start(500, 1000);
    EXPECT_EQ(s.delay_from(500), 1000);
    EXPECT_FALSE(s.fire(1499));
    EXPECT_TRUE(s.fire(1500));
    // A late event does not push the next one back.
    EXPECT_TRUE(s.fire(2800));
    EXPECT_EQ(s.delay_from(2800), 700);
    EXPECT_FALSE(s.fire(3499));
}

TEST(TickSchedule, LatenessIsCaughtUpOneEventAtATime)
{
    TickSchedule s;
    s.start(0, 1000);
    EXPECT_EQ(raise_all(s, 3400), 3);
    EXPECT_EQ(s.delay_from(3400), 600);
}

TEST(TickSchedule, EventsMatchWallTimeWhateverTheLateness)
{
    TickSchedule s;
    s.start(0, 1000);
    int raised = 0;
    std::int64_t now = 0;
    // Every wake-up comes between 0 and 450 ms late.
    for (int i = 0; i < 600; ++i) {
        now += s.delay_from(now) + (i * 37) % 451;
        raised += raise_all(s, now);
    }
    EXPECT_EQ(raised, now / 1000);
}

TEST(TickSchedule, ASuspendCountsOnceAndRestartsTheSchedule)
{
    TickSchedule s;
    s.start(0, 1000);
    EXPECT_EQ(raise_all(s, 1000), 1);
    EXPECT_EQ(raise_all(s, 3'600'000), 1);
    EXPECT_EQ(s.delay_from(3'600'000), 1000);
}

TEST(TickSchedule, StoppedOrZeroPeriodNeverFires)
{
    TickSchedule s;
    EXPECT_FALSE(s.fire(1'000'000));
    s.start(0, 0);
    EXPECT_FALSE(s.running());
    EXPECT_FALSE(s.fire(1'000'000));
    s.start(0, -5);
    EXPECT_FALSE(s.running());
    s.start(0, 1000);
    s.stop();
    EXPECT_FALSE(s.fire(5000));
}
