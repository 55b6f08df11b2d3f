// Formatting and parsing of the duration text.
#include "progress/duration_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

TEST(DurationText, TwoDigitText)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "00"}, {9, "09"}, {10, "10"}, {59, "59"}, {123, "123"}, {-1, "-1"}, {-5, "-5"}};
    for (auto [n, text] : cases)
        EXPECT_EQ(two_digit_text(n), text) << n;
}

TEST(DurationText, Format)
{
    struct Case {
        std::int32_t h, m, s;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, 0, "0小时00分00秒"},   {1, 5, 9, "1小时05分09秒"},
        {12, 30, 0, "12小时30分00秒"}, {123, 59, 59, "123小时59分59秒"},
        {0, -5, 7, "0小时-5分07秒"},   {100, 0, 0, "100小时00分00秒"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(format_duration(c.h, c.m, c.s), c.text);
    EXPECT_EQ(format_duration(0, 0, 0), zero_duration_text);
    EXPECT_EQ(zero_duration_text.size(), 13u);
}

TEST(DurationText, ParseOddLabels)
{
    const std::pair<std::string, Duration> cases[] = {
        {"", {0, 0, 0}},
        {"abc", {0, 0, 0}},
        {"5分3秒", {0, 0, 3}},
        {"12小时5分", {12, 5, 0}},
        {"1小时123分45秒", {1, 123, 45}},
        {"１小时０５分０９秒", {1, 5, 9}},
        {"2小时3分钟4秒", {2, 3, 0}},
        {" 2小时 3分 4秒", {2, 3, 4}},
        {"0小时-5分07秒", {0, -5, 7}},
        {"1小时75分10秒", {1, 75, 10}},
        {"0小时00分75秒", {0, 0, 75}},
        {"小时分秒", {0, 0, 0}},
        {"7小时", {7, 0, 0}},
        {"4294967296小时00分01秒", {0, 0, 1}},
    };
    for (const auto& [label, expected] : cases)
        EXPECT_EQ(parse_duration(label), expected) << label;
}

TEST(DurationText, ParseGivesBackWhatFormatMade)
{
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<std::int32_t> small(-100, 100);
    const std::int32_t edges[] = {INT32_MIN, INT32_MIN + 1, -100, -10, -9, -1, 0, 1, 9, 10, 59, 60, INT32_MAX};
    auto check = [](std::int32_t h, std::int32_t m, std::int32_t s) {
        Duration d = parse_duration(format_duration(h, m, s));
        ASSERT_EQ(d, (Duration{h, m, s})) << format_duration(h, m, s);
    };
    for (auto h : edges)
        for (auto m : edges)
            for (auto s : edges)
                check(h, m, s);
    for (int i = 0; i < 20000; ++i) {
        check(any(rng), any(rng), any(rng));
        check(small(rng), small(rng), small(rng));
    }
}

TEST(DurationText, TextBetweenMarkers)
{
    struct Case {
        std::string text, left, right;
        std::int32_t start;
        bool case_sensitive;
        std::string expected;
    };
    const Case cases[] = {
        {"12小时34分56秒", "小时", "分", 0, false, "34"},
        {"12小时34分56秒", "分", "秒", 0, false, "56"},
        {"12小时分56秒", "小时", "分", 0, false, ""},  // touching markers
        {"12小时", "小时", "分", 0, false, ""},        // left marker ends the text
        {"12小时34", "小时", "分", 0, false, ""},      // no right marker
        {"1234", "小时", "分", 0, false, ""},          // no left marker
        {"say \"hi\" now", "#引号", "#引号", 0, false, "hi"},
        {"a=#引号b", "=", "b", 0, false, "#引号"},    // only markers are unescaped
        {"keyVALUEend", "KEY", "END", 0, false, "VALUE"},
        {"keyVALUEend", "KEY", "END", 0, true, ""},
        {"keyVALUEend", "key", "end", 0, true, "VALUE"},
        // start also counts within the rest: from 3, the first "]" of "x]y]" is skipped.
        {"ab[x]y]", "[", "]", 3, false, "x]y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text_between_markers(c.text, c.left, c.right, c.start, c.case_sensitive), c.expected)
            << c.text;
}
