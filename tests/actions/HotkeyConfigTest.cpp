// Hotkey configuration without a desktop: key specifications, the name
// tables, the INI file name taken from the command line, and reading a
// real INI file.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "Support.h"
#include "Hotkeys.h"

namespace {

struct SpecCase {
    const char *label;
    const char *text;
    BOOL ok;
    UINT modifiers;
    UINT key;
};

class ParseSpec : public ::testing::TestWithParam<SpecCase> {};

TEST_P(ParseSpec, GivesModifiersAndKey)
{
    const SpecCase &c = GetParam();
    UINT mods = 0xDEAD, key = 0xBEEF;
    EXPECT_EQ(c.ok, HotkeyParseSpec(c.text, &mods, &key)) << "[" << (c.text ? c.text : "(null)") << "]";
    EXPECT_EQ(c.modifiers, mods);
    EXPECT_EQ(c.key, key);
}

const UINT A = MOD_ALT, C = MOD_CONTROL, S = MOD_SHIFT, W = MOD_WIN;

INSTANTIATE_TEST_SUITE_P(Grammar, ParseSpec, ::testing::Values(
    SpecCase{"LowerCase", "<alt><f3>", TRUE, A, VK_F3},
    SpecCase{"UpperCase", "<ALT><F3>", TRUE, A, VK_F3},
    SpecCase{"MixedCase", "<Alt><F3>", TRUE, A, VK_F3},
    SpecCase{"SpaceLower", "<Alt><spc>", TRUE, A, VK_SPACE},
    SpecCase{"SpaceUpper", "<Alt><SPC>", TRUE, A, VK_SPACE},
    SpecCase{"DefaultTrayIn", "<Alt><Ctrl><F3>", TRUE, A | C, VK_F3},
    SpecCase{"NoModifier", "<F3>", FALSE, 0, 0},
    SpecCase{"NoKey", "<Alt>", FALSE, 0, 0},
    SpecCase{"Empty", "", FALSE, 0, 0},
    SpecCase{"Null", nullptr, FALSE, 0, 0},
    SpecCase{"BlanksOnly", " \t ", FALSE, 0, 0},
    SpecCase{"LetterFolded", "<Alt>x", TRUE, A, 'X'},
    SpecCase{"LastKeyWins", "<Alt>F3", TRUE, A, '3'},
    SpecCase{"LastNamedKeyWins", "<Alt><F3><F4>", TRUE, A, VK_F4},
    SpecCase{"NamedThenLetter", "<Alt><F3>q", TRUE, A, 'Q'},
    SpecCase{"AllModifiers", "<Ctrl><Alt><Shift><Win>A", TRUE, A | C | S | W, 'A'},
    SpecCase{"ModifierTwice", "<Alt><alt>A", TRUE, A, 'A'},
    SpecCase{"BlankBetween", "<Alt> <F3>", TRUE, A, VK_F3},
    SpecCase{"TabBetween", "<Alt>\t<F3>", TRUE, A, VK_F3},
    SpecCase{"BlanksAround", " \t<Alt> <F3> \t", TRUE, A, VK_F3},
    SpecCase{"UnterminatedNoKey", "<Alt><F3", FALSE, 0, 0},
    SpecCase{"UnterminatedAfterKey", "<Alt>A<F3", TRUE, A, 'A'},
    SpecCase{"UnterminatedHidesLaterText", "<Alt>A<F3 B", TRUE, A, 'A'},
    SpecCase{"UnknownName", "<Alt><foo>A", TRUE, A, 'A'},
    SpecCase{"EmptyName", "<><Alt>A", TRUE, A, 'A'},
    SpecCase{"BlankInsideBrackets", "< Alt>A", FALSE, 0, 0},
    SpecCase{"BlankAfterNameInside", "<Alt ><Ctrl>A", TRUE, C, 'A'},
    SpecCase{"LongNameNamesNothing", "<Alt><pagedownpagedown>A", TRUE, A, 'A'},
    SpecCase{"PunctuationCode", "<Alt>.", TRUE, A, 0x2E},
    SpecCase{"LoneCloseBracket", "<Alt>>", TRUE, A, '>'},
    SpecCase{"NumpadName", "<Shift><num/>", TRUE, S, VK_DIVIDE},
    SpecCase{"HighBytesSkipped", "<Alt>\x82\xA0", FALSE, 0, 0},
    SpecCase{"ControlCharsSkipped", "<Alt>\x01Z\x7F", TRUE, A, 'Z'},
    SpecCase{"ModifierNamesAreNotKeys", "<Alt><Win>", FALSE, 0, 0}),
    [](const ::testing::TestParamInfo<SpecCase> &i) { return std::string(i.param.label); });

int TableSize(const HotkeyName *t)
{
    int n = 0;
    while (t[n].value)
        n++;
    return n;
}

TEST(NameTables, EveryNameIsFoundInTheOrderGivenAndTheEndEntryIsEmpty)
{
    ASSERT_EQ(4, TableSize(ModifierNameTable));
    ASSERT_EQ(37, TableSize(KeyNameTable));
    EXPECT_STREQ("", ModifierNameTable[4].name);
    EXPECT_STREQ("", KeyNameTable[37].name);
    const char *mods[] = {"ctrl", "alt", "shift", "win"};
    const UINT modValues[] = {MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN};
    for (int i = 0; i < 4; i++) {
        EXPECT_STREQ(mods[i], ModifierNameTable[i].name);
        EXPECT_EQ(modValues[i], ModifierNameTable[i].value);
    }
    const char *keys[] = {"f12", "f11", "f10", "f9", "f8", "f7", "f6", "f5", "f4", "f3", "f2", "f1",
                          "tab", "ret", "esc", "ins", "del", "SPC", "pageup", "pagedown", "home",
                          "end", "num0", "num1", "num2", "num3", "num4", "num5", "num6", "num7",
                          "num8", "num9", "num*", "num+", "num.", "num-", "num/"};
    const UINT keyValues[] = {0x7B, 0x7A, 0x79, 0x78, 0x77, 0x76, 0x75, 0x74, 0x73, 0x72, 0x71,
                              0x70, 0x09, 0x0D, 0x1B, 0x2D, 0x2E, 0x20, 0x21, 0x22, 0x24, 0x23,
                              0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A,
                              0x6B, 0x6E, 0x6D, 0x6F};
    for (int i = 0; i < 37; i++) {
        EXPECT_STREQ(keys[i], KeyNameTable[i].name);
        EXPECT_EQ(keyValues[i], KeyNameTable[i].value) << keys[i];
        EXPECT_EQ(keyValues[i], HotkeyLookupName(keys[i], KeyNameTable)) << keys[i];
    }
}

TEST(NameTables, LookupFoldsAsciiCaseOnlyAndComparesWholeNames)
{
    EXPECT_EQ((UINT)MOD_CONTROL, HotkeyLookupName("CTRL", ModifierNameTable));
    EXPECT_EQ((UINT)VK_SPACE, HotkeyLookupName("spc", KeyNameTable));
    EXPECT_EQ((UINT)VK_NEXT, HotkeyLookupName("PageDown", KeyNameTable));
    EXPECT_EQ(0u, HotkeyLookupName("f", KeyNameTable));        // prefix of f12
    EXPECT_EQ(0u, HotkeyLookupName("f120", KeyNameTable));     // f12 is a prefix
    EXPECT_EQ(0u, HotkeyLookupName("alt ", ModifierNameTable));
    EXPECT_EQ(0u, HotkeyLookupName("", KeyNameTable));         // the end entry is never compared
    EXPECT_EQ(0u, HotkeyLookupName("alt", KeyNameTable));      // each table on its own
    EXPECT_EQ(0u, HotkeyLookupName("f3", ModifierNameTable));
    // Full-width letters are no ASCII letters: no folding, no match.
    EXPECT_EQ(0u, HotkeyLookupName("\x82\x60\x82\x8c\x82\x94", ModifierNameTable));
}

struct IniNameCase {
    const char *label;
    std::string commandLine;
    int result;
    std::string iniName;
};

class IniName : public ::testing::TestWithParam<IniNameCase> {};

TEST_P(IniName, IsArgvZeroCutAtTheLastDot)
{
    const IniNameCase &c = GetParam();
    char ini[MAX_PATH];
    memset(ini, 'x', sizeof ini);
    EXPECT_EQ(c.result, HotkeyFormIniName(c.commandLine.c_str(), ini));
    if (c.result == 1) {
        EXPECT_EQ(c.iniName, std::string(ini));
    }
}

const std::string Long(size_t n) { return std::string(n, 'a'); }

INSTANTIATE_TEST_SUITE_P(Rule, IniName, ::testing::Values(
    IniNameCase{"FullPath", "C:\\Tools\\zarn.exe", 1, "C:\\Tools\\zarn.ini"},
    IniNameCase{"Quoted", "\"C:\\My Tools\\zarn.exe\" /J \"x.exe\"", 1, "C:\\My Tools\\zarn.ini"},
    IniNameCase{"QuoteEndsTheName", "\"C:\\a\\zarn.exe\"rest.txt", 1, "C:\\a\\zarn.ini"},
    IniNameCase{"UnclosedQuote", "\"C:\\a b\\zarn.exe", 1, "C:\\a b\\zarn.ini"},
    IniNameCase{"BlankEndsTheName", "C:\\a\\zarn.exe /J b.exe", 1, "C:\\a\\zarn.ini"},
    IniNameCase{"TabEndsTheName", "zarn.exe\t/O c.txt", 1, "zarn.ini"},
    IniNameCase{"BareName", "zarn.exe", 1, "zarn.ini"},
    IniNameCase{"DotInFolderName", "C:\\My.Tools\\zarn", 1, "C:\\My.ini"},
    IniNameCase{"LastDotCounts", "C:\\a.b\\zarn.tray.exe", 1, "C:\\a.b\\zarn.tray.ini"},
    IniNameCase{"NoDotAtAll", "C:\\Tools\\zarn /J x.exe", 0, ""},
    IniNameCase{"DotOnlyInArguments", "zarn /J x.exe", 0, ""},
    IniNameCase{"EmptyQuotedName", "\"\" zarn.exe", 0, ""},
    IniNameCase{"LongFits", Long(251) + ".exe", 1, Long(251) + ".ini"},
    IniNameCase{"IniNameWouldNotFit", Long(256) + ".e", -1, ""},
    IniNameCase{"ProgramNameWouldNotFit", "\"" + Long(300) + ".exe\"", -1, ""},
    IniNameCase{"LongNameWithoutDot", Long(400), -1, ""}),
    [](const ::testing::TestParamInfo<IniNameCase> &i) { return std::string(i.param.label); });

TEST(IniNameLimits, LongestNameIsKeptWholeAndTooLongIsNeverCut)
{
    char ini[MAX_PATH];
    // 255 characters before the dot: with ".ini" and the terminator exactly MAX_PATH.
    ASSERT_EQ(1, HotkeyFormIniName((Long(255) + ".exe").c_str(), ini));
    EXPECT_EQ(Long(255) + ".ini", std::string(ini));
    EXPECT_EQ(-1, HotkeyFormIniName((Long(256) + ".exe").c_str(), ini));
    EXPECT_STREQ("", ini);
}

TEST(IniNameLimits, EmptyCommandLineUsesTheModuleFileName)
{
    char module[MAX_PATH], ini[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof module);
    ASSERT_GT(n, 4u);
    std::string expect = std::string(module, n);
    expect = expect.substr(0, expect.rfind('.')) + ".ini";
    ASSERT_EQ(1, HotkeyFormIniName("", ini));
    EXPECT_EQ(expect, std::string(ini));
    ASSERT_EQ(1, HotkeyFormIniName(nullptr, ini));
    EXPECT_EQ(expect, std::string(ini));
}

void ExpectBinding(const HotkeyBinding &b, int id, UINT mods, UINT key, const char *what)
{
    EXPECT_EQ(id, b.id) << what;
    if (id != -1) {
        EXPECT_EQ(mods, b.modifiers) << what;
        EXPECT_EQ(key, b.key) << what;
    }
}

class IniFile : public ::testing::Test {
protected:
    std::string dir = MakeTempDir("hotkeyini");
    std::string path = dir + "zarn.ini";
    void TearDown() override { RemoveTree(dir); }
};

TEST_F(IniFile, MissingKeysDefaultEmptyAndGarbageAreRefused)
{
    // TopMost missing (default), Minimize empty, WinSelect garbage.
    ASSERT_TRUE(WriteTextFile(path, "; comment\r\n[Other]\r\nTopMost=<Win>T\r\n"
                                    "[KeyBind]\r\nMinimize=\r\nTrayIn = <Shift><Win>Z\r\n"
                                    "WinSelect=F9 please\r\n"));
    HotkeyBinding b[4];
    HotkeyReadBindings(path.c_str(), b);
    ExpectBinding(b[0], -1, 0, 0, "Minimize (empty)");
    ExpectBinding(b[1], HOTKEY_TRAYIN, MOD_SHIFT | MOD_WIN, 'Z', "TrayIn");
    ExpectBinding(b[2], -1, 0, 0, "WinSelect (garbage)");
    ExpectBinding(b[3], HOTKEY_TOPMOST, MOD_ALT, VK_F2, "TopMost (default)");
}

TEST_F(IniFile, MissingFileAndNoFileGiveTheDefaultsInRegistrationOrder)
{
    HotkeyBinding fromMissing[4], fromNone[4];
    HotkeyReadBindings((dir + "absent.ini").c_str(), fromMissing);
    HotkeyReadBindings(nullptr, fromNone);
    for (const HotkeyBinding *b : {fromMissing, fromNone}) {
        ExpectBinding(b[0], HOTKEY_MINIMIZE, MOD_ALT, VK_F3, "Minimize");
        ExpectBinding(b[1], HOTKEY_TRAYIN, MOD_ALT | MOD_CONTROL, VK_F3, "TrayIn");
        ExpectBinding(b[2], HOTKEY_WINSELECT, MOD_ALT, VK_F9, "WinSelect");
        ExpectBinding(b[3], HOTKEY_TOPMOST, MOD_ALT, VK_F2, "TopMost");
    }
}

TEST_F(IniFile, CollidingValuesAreBothAcceptedHere)
{
    // Who gets the combination is decided by registration, not by reading.
    ASSERT_TRUE(WriteTextFile(path, "[KeyBind]\r\nMinimize=<Alt><F3>\r\nTrayIn=<alt><f3>\r\n"));
    HotkeyBinding b[4];
    HotkeyReadBindings(path.c_str(), b);
    ExpectBinding(b[0], HOTKEY_MINIMIZE, MOD_ALT, VK_F3, "Minimize");
    ExpectBinding(b[1], HOTKEY_TRAYIN, MOD_ALT, VK_F3, "TrayIn");
}

TEST_F(IniFile, OnlyTheFirst254CharactersOfAValueAreSeen)
{
    // The key sits at character 255: beyond what is read, so no key at all.
    std::string value = "<Alt>" + std::string(249, ' ') + "K";
    ASSERT_EQ(255u, value.size());
    ASSERT_TRUE(WriteTextFile(path, "[KeyBind]\r\nTopMost=" + value + "\r\nWinSelect=<Alt>" +
                                        std::string(248, ' ') + "K\r\n"));
    HotkeyBinding b[4];
    HotkeyReadBindings(path.c_str(), b);
    ExpectBinding(b[3], -1, 0, 0, "TopMost, key past the limit");
    ExpectBinding(b[2], HOTKEY_WINSELECT, MOD_ALT, 'K', "WinSelect, key at the limit");
}

// The real path: the INI named after this test program, beside it.
TEST(LoadBindings, ReadsTheIniNamedAfterTheProgram)
{
    char ini[MAX_PATH];
    ASSERT_EQ(1, HotkeyFormIniName(GetCommandLineA(), ini));
    ASSERT_TRUE(WriteTextFile(ini, "[KeyBind]\r\nWinSelect=<Ctrl><Shift><num5>\r\n"));
    HotkeyBinding b[4];
    BOOL loaded = HotkeyLoadBindings(b);
    DeleteFileA(ini);
    ASSERT_TRUE(loaded);
    ExpectBinding(b[0], HOTKEY_MINIMIZE, MOD_ALT, VK_F3, "Minimize");
    ExpectBinding(b[2], HOTKEY_WINSELECT, MOD_CONTROL | MOD_SHIFT, VK_NUMPAD5, "WinSelect");
}

}  // namespace
