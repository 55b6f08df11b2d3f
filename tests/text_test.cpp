// Byte-exact checks of the text, number and search operations.
#include "progress/text.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/gbk.h"

TEST(TextConversions, IntToText)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"}, {7, "7"}, {59, "59"}, {125, "125"}, {-5, "-5"}, {-1, "-1"},
        {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"},
    };
    for (auto [n, text] : cases)
        EXPECT_EQ(int_to_text(n), text) << n;
    EXPECT_EQ(text_length(int_to_text(-1)), 2);
}

TEST(TextConversions, NumberToTextHasNoDecimalPointForWholeNumbers)
{
    EXPECT_EQ(number_to_text(1.0), "1");
    EXPECT_EQ(number_to_text(2.0), "2");
    EXPECT_EQ(number_to_text(3.0), "3");
    EXPECT_EQ(number_to_text(0.5), "0.5");
    EXPECT_EQ(number_to_text(1.0 / 3.0), "0.3333333333333");
}

TEST(TextConversions, TextToInt)
{
    const std::pair<std::string, std::int32_t> cases[] = {
        {"  12", 12},
        {"+7", 7},
        {"-3", -3},
        {"05", 5},
        {"12abc", 12},
        {"１２", 12},
        {bytes({0xA1, 0xA1}) + "8", 8},
        {"abc", 0},
        {"", 0},
        {"2147483648", INT32_MIN},
        {"4294967296", 0},
        {"4294967297", 1},
        {"-2147483648", INT32_MIN},
        {"\t\n\v\f\r 9", 9},
        {"+-3", 0},
        {"- 3", 0},
        {"－４", -4},       // full-width minus and digit
        {"＋４", 4},        // full-width plus
        {"1２3", 123},      // mixed widths
        {"7" + bytes({0xA3}), 7}, // lone lead byte at the end
        {bytes({0xA3}), 0},
        {"小时5", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(text_to_int(text), value) << text;
}

TEST(TextSearch, FindText)
{
    struct Case {
        std::string text, sought;
        std::int32_t start;
        bool case_insensitive;
        std::int32_t expected;
    };
    // 分 is B7 D6; the text 牛 (C5 A3) followed by 诺 has the bytes A3 C5 around
    // the character boundary, so "A3" alone would only match on a trail byte.
    const Case cases[] = {
        {"12小时34分56秒", "分", 0, false, 9},
        {"12小时34分56秒", "分", 0, true, 9},
        {"12小时34分56秒", "分", 1, false, 9},
        {"12小时34分56秒", "分", 9, false, 9},
        {"12小时34分56秒", "分", 10, false, -1},
        {"12小时34分56秒", "分", 99, false, -1},
        {"12小时34分56秒", "分", -7, false, 9},
        {"abcABC", "BC", 0, false, 5},
        {"abcABC", "BC", 0, true, 2},
        {"abc", "abcd", 0, false, -1},
        {"", "a", 0, false, -1},
        {"abc", "", 0, false, -1},
        // Trail byte 0x5C ('\') of 诶 (DA 5C) must not be found as a backslash.
        {bytes({0xDA, 0x5C}) + "\\", "\\", 0, false, 3},
        // 'A' as trail byte of 丂 (81 40) is not a letter there, but the
        // lead/trail pair still matches itself.
        {bytes({0x81, 0x41}), "A", 0, false, -1},
        {bytes({0x81, 0x41}), "a", 0, true, -1},
        {bytes({0xC5, 0xA3, 0xC5, 0xB5}), bytes({0xA3, 0xC5}), 0, false, -1},
        // A lead byte at the very end stops the search.
        {"a" + bytes({0xB7}), "b", 0, false, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(find_text(c.text, c.sought, c.start, c.case_insensitive), c.expected)
            << c.text << " / " << c.sought << " from " << c.start;
}

TEST(TextSearch, LeftAndRightCountBytes)
{
    const std::string marked = "【12小时"; // eight bytes
    ASSERT_EQ(text_length(marked), 8);
    EXPECT_EQ(text_right(marked, 6), "12小时");
    EXPECT_EQ(text_right(marked, 0), "");
    EXPECT_EQ(text_right(marked, -3), "");
    EXPECT_EQ(text_right(marked, 9), marked);
    EXPECT_EQ(text_left(marked, 2), "【");
    EXPECT_EQ(text_left(marked, 0), "");
    EXPECT_EQ(text_left(marked, -1), "");
    EXPECT_EQ(text_left(marked, 100), marked);
    EXPECT_EQ(text_left("", 3), "");
}

TEST(TextSearch, ReplaceText)
{
    struct Case {
        std::string text, sought, replacement, expected;
    };
    const Case cases[] = {
        {"#引号abc#引号", "#引号", "\"", "\"abc\""},
        {"aaa", "a", "aa", "aaaaaa"}, // replaced text is not scanned again
        {"abab", "ab", "", ""},
        {"xyz", "q", "r", "xyz"},
        {"", "a", "b", ""},
        {"ABC", "b", "x", "ABC"}, // exact comparison
        // The trail byte 0x5C of 诶 is not replaced.
        {bytes({0xDA, 0x5C}) + "\\", "\\", "/", bytes({0xDA, 0x5C}) + "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(replace_text(c.text, c.sought, c.replacement), c.expected) << c.text;
}

TEST(TextCompare, EqualAndConcat)
{
    EXPECT_TRUE(texts_equal("", ""));
    EXPECT_TRUE(texts_equal("分", "分"));
    EXPECT_FALSE(texts_equal("a", "A"));
    EXPECT_FALSE(texts_equal("a", ""));
    EXPECT_EQ(concat_text({}), "");
    EXPECT_EQ(concat_text({"设备编号：", "", "设备三"}), "设备编号：设备三");
}

TEST(TextCompare, AsciiCaseFoldingSkipsDoubleByteCharacters)
{
    EXPECT_TRUE(texts_equal_ignoring_ascii_case("Stage One", "stage one"));
    EXPECT_FALSE(texts_equal_ignoring_ascii_case("Stage", "Stages"));
    // 丂 (81 40)... trail bytes in the letter range must match exactly.
    EXPECT_FALSE(texts_equal_ignoring_ascii_case(bytes({0x81, 0x41}), bytes({0x81, 0x61})));
    EXPECT_TRUE(texts_equal_ignoring_ascii_case(bytes({0x81, 0x41}) + "X", bytes({0x81, 0x41}) + "x"));
}
