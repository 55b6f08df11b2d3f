// The stored date text and the injectable clock.
#include "progress/date_text.h"

#include <gtest/gtest.h>

#include "tests/fixed_clock.h"
#include "tests/gbk.h"

TEST(DateText, FiveJune2013IsTwelveBytes)
{
    FixedClock clock({2013, 6, 5, 17, 42, 9});
    EXPECT_EQ(today_date_text(clock),
              bytes({0x32, 0x30, 0x31, 0x33, 0xC4, 0xEA, 0x36, 0xD4, 0xC2, 0x35, 0xC8, 0xD5}));
}

TEST(DateText, NoLeadingZeros)
{
    const std::pair<DateTime, const char*> cases[] = {
        {{2013, 11, 9}, "2013年11月9日"},
        {{2014, 1, 10}, "2014年1月10日"},
        {{2026, 12, 31}, "2026年12月31日"},
    };
    for (const auto& [date, text] : cases)
        EXPECT_EQ(date_to_text(date), text);
}

TEST(DateText, DateOnlyKeepsTheDayAndDropsTheTime)
{
    EXPECT_EQ(date_only({2013, 6, 5, 23, 59, 59}), (DateTime{2013, 6, 5, 0, 0, 0}));
}

TEST(DateText, SystemClockGivesAPlausibleLocalTime)
{
    DateTime now = current_date_time(SystemClock{});
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
}
