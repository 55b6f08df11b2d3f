// GBK <-> Qt string conversion at the frame's boundary, both ways, with the
// byte sequences a file from elsewhere may hold.
#include <gtest/gtest.h>

#include <QString>

#include "app/qt/gbk_qstring.h"
#include "app/window_definition.h"

namespace {
struct Row {
    const char* what;
    std::string gbk;
    const char16_t* text;
};

TEST(GbkQString, ConvertsBothWaysAndMarksBrokenBytes)
{
    const Row rows[] = {
        {"empty", "", u""},
        {"ASCII", "A&B 0:59", u"A&B 0:59"},
        {"double-byte", "\xC9\xE8\xB1\xB8\xD2\xBB", u"设备一"},
        {"full-width colon", "\xA3\xBA", u"："},
        {"euro sign of code page 936", "\x80", u"€"},
        {"mixed", "0\xD0\xA1\xCA\xB1" "00", u"0小时00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(qstring_from_gbk(row.gbk), QString::fromUtf16(row.text));
        EXPECT_EQ(gbk_from_qstring(QString::fromUtf16(row.text)), row.gbk);
    }
}

TEST(GbkQString, BrokenBytesBecomeReplacementCharacters)
{
    const Row rows[] = {
        {"lead byte at the end", "A\xC9", u"A\uFFFD"},
        {"lead byte before a space", "\xC9 A", u"\uFFFD A"},
        {"trail byte 0x7F", "\xC9\x7F", u"\uFFFD\x7F"},
        {"0xFF", "x\xFFy", u"x\uFFFDy"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(qstring_from_gbk(row.gbk), QString::fromUtf16(row.text));
    }
}

TEST(GbkQString, CharactersGbkLacksBecomeQuestionMarks)
{
    EXPECT_EQ(gbk_from_qstring(QString::fromUtf16(u"a\u20A9b")), "a?b");     // won sign
    EXPECT_EQ(gbk_from_qstring(QString::fromUtf16(u"\U0001F3A7")), "?");       // emoji
    EXPECT_EQ(gbk_from_qstring(QString::fromUtf16(u"\u0E01\u0E02")), "??");    // Thai
}

TEST(GbkQString, EveryDefinedTextSurvivesTheRoundTrip)
{
    for (WindowId window : {WindowId::main, WindowId::notice, WindowId::instructions}) {
        const WindowDefinition& d = window_definition(window);
        EXPECT_EQ(gbk_from_qstring(qstring_from_gbk(d.title)), d.title);
        for (const ControlDefinition& c : d.controls) {
            EXPECT_EQ(gbk_from_qstring(qstring_from_gbk(c.name)), c.name);
            EXPECT_EQ(gbk_from_qstring(qstring_from_gbk(c.text)), c.text);
            for (std::string_view item : c.items)
                EXPECT_EQ(gbk_from_qstring(qstring_from_gbk(item)), item);
            EXPECT_FALSE(qstring_from_gbk(c.text).contains(QChar(0xFFFD)));
        }
    }
}
} // namespace
