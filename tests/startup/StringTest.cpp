// Zarninst's string class in code page 932: every search, trim, case change
// and replacement goes by whole characters, so the trail byte of a
// double-byte character (0x5C, 'A'...) is never taken for a character.
#include <gtest/gtest.h>
#include <windows.h>
#include "LinkFiles.h"
#include "ZString.h"

TEST(ZString, RunsInCodePage932)
{
    ASSERT_EQ(932u, GetACP()) << "the multibyte cases below need the Japanese code page";
}

struct FindCase {
    const char *text;
    const char *sub;
    int start;
    int expected;
};

void PrintTo(const FindCase &c, std::ostream *os)
{
    *os << "find of " << ::testing::PrintToString(c.sub) << " from " << c.start << " in "
        << ::testing::PrintToString(c.text);
}

class ZStringFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(ZStringFind, MatchesOnlyWholeCharacters)
{
    const FindCase &c = GetParam();
    CString s(c.text);
    EXPECT_EQ(c.expected, s.Find(c.sub, c.start)) << c.text << " / " << c.sub;
    if (c.sub[0] && !c.sub[1]) {
        EXPECT_EQ(c.expected, s.Find(c.sub[0], c.start));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ZStringFind, ::testing::Values(
    FindCase{"C:\\dir\\x", "\\", 0, 2},
    FindCase{"C:\\dir\\x", "\\", 3, 6},
    FindCase{SO "\\x", "\\", 0, 2},                 // the trail byte 0x5C is no backslash
    FindCase{SO HYO, "\\", 0, -1},
    FindCase{"a" SO "\\", "\\\\", 0, -1},           // trail byte + backslash is no pair
    FindCase{"a" SO "\\\\", "\\\\", 0, 3},
    FindCase{A_KANA "A", "A", 0, 2},                // trail byte 'A'
    FindCase{SO "\"", "\\\"", 0, -1},               // no backslash-quote pair here
    FindCase{HYO ".exe", ".exe", 0, 2},
    FindCase{"x.exe", ".exe", 2, -1},
    FindCase{"abc", "", 1, 1},
    FindCase{"abc", "abcd", 0, -1},
    FindCase{"", "a", 0, -1}));

TEST(ZString, ReverseFindSkipsTrailBytes)
{
    EXPECT_EQ(6, CString("C:\\dir\\" SO HYO).ReverseFind('\\'));
    EXPECT_EQ(-1, CString(SO HYO).ReverseFind('\\'));
    EXPECT_EQ(4, CString("ab" A_KANA "A" A_KANA).ReverseFind('A'));
    EXPECT_EQ(-1, CString("").ReverseFind('x'));
}

TEST(ZString, MakeLowerLowersWholeCharacters)
{
    CString s("C:\\TOOL" A_KANA SO ZENKAKU_A "\x83\x9f" ".EXE");   // 0x83 0x9F: Greek capital alpha
    s.MakeLower();
    EXPECT_STREQ("c:\\tool" A_KANA SO ZENKAKU_a "\x83\xbf" ".exe", (LPCSTR)s);
    CString kana("\xb1\xb2");   // half-width katakana, single bytes without case
    kana.MakeLower();
    EXPECT_STREQ("\xb1\xb2", (LPCSTR)kana);
}

TEST(ZString, TrimTakesOnlyWhiteSpace)
{
    CString s(" \t\r\n\v\f" SO " x " HYO "\t \r\n");
    s.Trim();
    EXPECT_STREQ(SO " x " HYO, (LPCSTR)s);
    CString left("  a b  ");
    left.TrimLeft();
    EXPECT_STREQ("a b  ", (LPCSTR)left);
    CString right("  a b  ");
    right.TrimRight();
    EXPECT_STREQ("  a b", (LPCSTR)right);
    CString blank(" \t ");
    blank.Trim();
    EXPECT_TRUE(blank.IsEmpty());
}

TEST(ZString, ReplaceGoesByWholeCharacters)
{
    CString quoted("say \"" SO "\" " HYO "\"");
    EXPECT_EQ(3, quoted.Replace("\"", "\\\""));
    EXPECT_STREQ("say \\\"" SO "\\\" " HYO "\\\"", (LPCSTR)quoted);
    EXPECT_EQ(3, quoted.Replace("\\\"", "\""));
    EXPECT_STREQ("say \"" SO "\" " HYO "\"", (LPCSTR)quoted);

    CString trail(SO "\"");   // the trail byte and the quote are no pair
    EXPECT_EQ(0, trail.Replace("\\\"", "\""));
    EXPECT_STREQ(SO "\"", (LPCSTR)trail);

    CString grow("aaa");
    EXPECT_EQ(3, grow.Replace("a", "aa"));
    EXPECT_STREQ("aaaaaa", (LPCSTR)grow);
    EXPECT_EQ(0, grow.Replace("", "x"));
}

TEST(ZString, PartsAndConcatenation)
{
    CString s("C:\\" SO "\\x.exe");
    EXPECT_STREQ("C:\\", (LPCSTR)s.Left(3));
    EXPECT_STREQ(SO, (LPCSTR)s.Mid(3, 2));
    EXPECT_STREQ("\\x.exe", (LPCSTR)s.Mid(5));
    EXPECT_STREQ("x.exe", (LPCSTR)s.Right(5));
    EXPECT_STREQ("", (LPCSTR)s.Mid(50));
    EXPECT_STREQ("", (LPCSTR)s.Left(-1));
    EXPECT_STREQ((LPCSTR)s, (LPCSTR)s.Left(100));
    EXPECT_EQ(s, s.Mid(0));

    CString t = s;
    t += t;   // appending itself
    EXPECT_EQ(2 * s.GetLength(), t.GetLength());
    t = t.Mid(s.GetLength());   // assigning a part of itself
    EXPECT_EQ(s, t);
    t = (LPCSTR)t + 3;
    EXPECT_STREQ(SO "\\x.exe", (LPCSTR)t);
    EXPECT_TRUE(CString("a") + "b" + CString("c") == "abc");
    EXPECT_TRUE(CString("a") != CString("A"));
}

TEST(ZString, FormatAndBuffer)
{
    CString f;
    f.Format("/J \"%s %s\"", "C:\\" SO ".exe", "-x");
    EXPECT_STREQ("/J \"C:\\" SO ".exe -x\"", (LPCSTR)f);
    f.Format("%s", "");
    EXPECT_TRUE(f.IsEmpty());
    std::string big(5000, 'x');
    f.Format("[%s]", big.c_str());
    EXPECT_EQ(5002, f.GetLength());

    CString b;
    char *p = b.GetBuffer(10);
    strcpy(p, "abc");
    b.ReleaseBuffer();
    EXPECT_STREQ("abc", (LPCSTR)b);
    EXPECT_EQ(3, b.GetLength());
}
