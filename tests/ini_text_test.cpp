// Finding and setting values in INI file bytes.
#include "progress/ini_text.h"

#include <gtest/gtest.h>

#include "tests/gbk.h"

TEST(IniText, FindsValuesInTheFormsOthersWrite)
{
    struct Case {
        std::string contents, section, key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"[Today]\r\nStage one=1小时05分09秒\r\n", "Today", "Stage one", "1小时05分09秒"},
        {"[Today]\nStage one=x\n", "Today", "Stage one", "x"},
        {"[Today]\nStage one = x \n", "Today", "Stage one", "x"},
        {" [ Today ] \n\tStage one\t=\tx\n", "Today", "Stage one", "x"},
        {"[today]\nstage ONE=x\n", "Today", "Stage one", "x"},
        {"[Today]\nStage one=x", "Today", "Stage one", "x"}, // no final newline
        {"[Today]\nStage one=\n", "Today", "Stage one", ""},
        {"[Today]\nStage one=a=b\n", "Today", "Stage one", "a=b"},
        {"[Today]\nStage two=x\n", "Today", "Stage one", std::nullopt},
        {"[Aggregate]\nStage one=x\n", "Today", "Stage one", std::nullopt},
        {"Stage one=x\n[Today]\n", "Today", "Stage one", std::nullopt},
        {"[Today]\n[Aggregate]\nStage one=x\n", "Today", "Stage one", std::nullopt},
        {"[Today]\nStage one=first\nStage one=second\n", "Today", "Stage one", "first"},
        {"[Today]\nStage one=x\r\n[Aggregate]\r\nStage one=y\r\n", "Aggregate", "Stage one", "y"},
        {"[Today]\nStage one=ab" + std::string(1, '\0') + "cd\n", "Today", "Stage one", "ab"},
        {"", "Today", "Stage one", std::nullopt},
        {"[Today", "Today", "Stage one", std::nullopt},
        {"[Today]\nStage one=" + bytes({0xB7}), "Today", "Stage one", bytes({0xB7})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(find_ini_value(c.contents, c.section, c.key), c.expected) << c.contents;
}

TEST(IniText, SetKeepsEveryOtherByte)
{
    struct Case {
        std::string contents, section, key, value, expected;
    };
    const Case cases[] = {
        // New file: CR LF lines.
        {"", "Today", "Stage one", "v", "[Today]\r\nStage one=v\r\n"},
        // Replace in place, keeping comments, odd spacing and line ends.
        {"; note\r\n[Today]\r\nStage one = old \r\nStage two=2\r\n",
         "Today", "Stage one", "new",
         "; note\r\n[Today]\r\nStage one=new\r\nStage two=2\r\n"},
        // LF files stay LF.
        {"[Today]\nStage two=2\n", "Today", "Stage one", "v", "[Today]\nStage two=2\nStage one=v\n"},
        // A missing key goes after the section's last entry, before blank lines.
        {"[Today]\r\nA=1\r\n\r\n[Aggregate]\r\nB=2\r\n", "Today", "C", "3",
         "[Today]\r\nA=1\r\nC=3\r\n\r\n[Aggregate]\r\nB=2\r\n"},
        // A missing section is appended, after a line end the file lacked.
        {"[Today]\r\nA=1", "Aggregate", "B", "2", "[Today]\r\nA=1\r\n[Aggregate]\r\nB=2\r\n"},
        // Missing key in a last section without final newline.
        {"[Today]\r\nA=1", "Today", "B", "2", "[Today]\r\nA=1\r\nB=2\r\n"},
        // Replacing the last line without newline adds none.
        {"[Today]\nA=1", "Today", "A", "9", "[Today]\nA=9"},
        // Case-insensitive match of section and key; the stored key is rewritten as given.
        {"[TODAY]\nstage one=1\n", "Today", "Stage one", "2", "[TODAY]\nStage one=2\n"},
        // Only the first of duplicate sections is used.
        {"[T]\nA=1\n[T]\nB=2\n", "T", "B", "3", "[T]\nA=1\nB=3\n[T]\nB=2\n"},
        // GBK values are stored exactly.
        {"", "Today", "Current date", "2013年6月5日", "[Today]\r\nCurrent date=2013年6月5日\r\n"},
        // Empty value keeps the key.
        {"[Today]\r\nA=1\r\n", "Today", "A", "", "[Today]\r\nA=\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(set_ini_value(c.contents, c.section, c.key, c.value), c.expected) << c.contents;
}

TEST(IniText, HostileBytesElsewhereSurviveAWrite)
{
    std::string nul_line = "junk" + std::string(3, '\0') + "=x\r\n";
    std::string invalid = bytes({0xFF, 0x80, 0x81}) + "\r\n";
    std::string long_line(3 << 20, 'q');
    std::string contents = "[Other]\r\n" + nul_line + invalid + long_line + "\r\n[Today]\r\nA=1\r\n" +
                           bytes({0xB7});
    std::string updated = set_ini_value(contents, "Today", "B", "2");
    EXPECT_EQ(find_ini_value(updated, "Today", "A"), "1");
    EXPECT_EQ(find_ini_value(updated, "Today", "B"), "2");
    EXPECT_EQ(updated, contents + "\r\nB=2\r\n");

    std::string replaced = set_ini_value(contents, "Today", "A", "5");
    EXPECT_EQ(replaced, "[Other]\r\n" + nul_line + invalid + long_line + "\r\n[Today]\r\nA=5\r\n" +
                            bytes({0xB7}));
}

TEST(IniText, StorableEntries)
{
    struct Case {
        std::string section, key, value;
        bool storable;
    };
    const Case cases[] = {
        {"Today", "Stage one", "1小时05分09秒", true},
        {"Today", "Stage one", "", true},
        {"", "Stage one", "v", false},
        {"Today", "", "v", false},
        {"Today", "  ", "v", false},
        {"To]day", "Stage one", "v", false},
        {"Today", "Stage=one", "v", false},
        {"Today", "Stage one", "a\r\n[Evil]\r\nx=y", false},
        {"Today", "Stage one", std::string("a\0b", 3), false},
        {"To\nday", "Stage one", "v", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini_entry_storable(c.section, c.key, c.value), c.storable) << c.key << c.value;
}

// Names are matched as the Windows profile API matches them: blanks at either
// end do not count, so a name given with blanks finds the entry already there
// instead of adding another on every save.
TEST(IniText, NamesGivenWithBlanksMatchTheTrimmedNames)
{
    const std::string file = "[Today]\r\nStage one=old\r\n";
    struct Case {
        std::string section, key;
    };
    const Case cases[] = {
        {" Today", "Stage one"}, {"Today ", "Stage one"}, {"Today", " Stage one"},
        {"Today", "Stage one\t"}, {"\t Today \t", "  Stage one  "}, {"today ", " Stage one"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find_ini_value(file, c.section, c.key), "old") << c.section << "|" << c.key;
        EXPECT_EQ(set_ini_value(file, c.section, c.key, "new"), "[Today]\r\nStage one=new\r\n")
            << c.section << "|" << c.key;
    }
    // New entries and sections are stored under the trimmed names.
    EXPECT_EQ(set_ini_value("", " Today ", " Stage one ", "v"), "[Today]\r\nStage one=v\r\n");
}

// A trail byte 0x5D or 0x5B belongs to its double-byte character: it neither
// closes a section name nor opens a header.
TEST(IniText, TrailBytesThatLookLikeBracketsBelongToTheirCharacter)
{
    const std::string trail_5d = bytes({0xD5, 0x5D}), trail_5b = bytes({0xB0, 0x5B});
    const std::string names[] = {
        trail_5d, "Stage" + trail_5d, trail_5d + "x" + trail_5b, trail_5b + trail_5d,
    };
    for (const auto& name : names) {
        EXPECT_TRUE(ini_entry_storable(name, "Stage one", "v")) << name;
        EXPECT_TRUE(ini_entry_storable("Today", name, "v")) << name;
        std::string file = set_ini_value("", name, "Stage one", "v");
        EXPECT_EQ(file, "[" + name + "]\r\nStage one=v\r\n");
        EXPECT_EQ(find_ini_value(file, name, "Stage one"), "v") << name;
        file = set_ini_value(file, name, "Stage one", "w");
        EXPECT_EQ(find_ini_value(file, name, "Stage one"), "w") << name;
        file = set_ini_value(file, "Today", name, "k");
        EXPECT_EQ(find_ini_value(file, "Today", name), "k") << name;
        EXPECT_EQ(find_ini_value(file, name, "Stage one"), "w") << name;
    }
    // A real ']' still ends the name, wherever a double-byte character sits.
    EXPECT_EQ(find_ini_value("[" + trail_5d + "]x]\r\nA=1\r\n", trail_5d, "A"), "1");
}

// Names that could not be read back are refused: a key that would start a
// header line, a name cut inside a double-byte character.
TEST(IniText, NamesThatWouldNotReadBackAreRefused)
{
    struct Case {
        std::string section, key;
        bool storable;
    };
    const Case cases[] = {
        {"Today", "[Stage one", false},
        {"Today", " [Stage one]", false},
        {"Today", "Stage [one]", true},
        {"Today", "Stage one" + bytes({0xB7}), false},
        {"To" + bytes({0xB7}), "Stage one", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini_entry_storable(c.section, c.key, "v"), c.storable) << c.section << "|" << c.key;
}

// Some editors leave "\r\r\n" at line ends; the extra CR is no part of the value.
TEST(IniText, RepeatedCarriageReturnsEndTheLine)
{
    const std::string file = "[Today]\r\r\nCurrent date=2013年6月5日\r\r\nStage one = x \r\r\r\n";
    EXPECT_EQ(find_ini_value(file, "Today", "Current date"), "2013年6月5日");
    EXPECT_EQ(find_ini_value(file, "Today", "Stage one"), "x");
    EXPECT_EQ(set_ini_value(file, "Today", "Stage one", "y"),
              "[Today]\r\r\nCurrent date=2013年6月5日\r\r\nStage one=y\r\r\r\n");
}
