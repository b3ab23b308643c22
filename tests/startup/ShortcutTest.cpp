// Zarninst's shortcut reader, writer, wrapping and unwrapping, with real
// link files made through the shell's link object in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
#include "LinkFiles.h"
#include "Shortcut.h"
#include "Support.h"
#include "ComApartment.h"

namespace {

std::string FileBytes(const std::string &path) { return ReadTextFile(path); }

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

class Shortcuts : public ::testing::Test {
protected:
    std::string dir;    // with a trailing backslash
    std::string tool;   // a real program file with an icon

    void SetUp() override
    {
        dir = MakeTempDir("lnk");
        ASSERT_FALSE(dir.empty());
        tool = dir + "tool.exe";
        ASSERT_TRUE(CopyFileA(BinPath("testwin.exe").c_str(), tool.c_str(), FALSE));
    }
    void TearDown() override { RemoveTree(dir); }

    std::string Link(const std::string &name, const LinkProps &p)
    {
        std::string path = dir + name;
        EXPECT_TRUE(MakeLink(path, p)) << path;
        return path;
    }
    std::string Link(const std::string &name, const std::string &target, const std::string &args = "")
    {
        LinkProps p;
        p.target = target;
        p.arguments = args;
        return Link(name, p);
    }
    static std::string ZarnPath() { return BinDir() + "zarn.exe"; }
};

/* ---- reading ---- */

TEST_F(Shortcuts, ReadCopiesEveryFieldInItsOwnCase)
{
    LinkProps p;
    p.target = tool;
    p.arguments = "-Min \"My File.txt\"";
    p.iconPath = tool;
    p.iconIndex = 3;
    p.workingDirectory = "C:\\Work Dir";
    std::string path = Link("Tool.lnk", p);

    ShortcutInfo info;
    info.imageIndex = 7;
    ASSERT_EQ(1, ReadShortcut(path.c_str(), &info));
    EXPECT_FALSE(info.wrapped);
    EXPECT_STREQ(path.c_str(), info.linkPath);
    EXPECT_STREQ(tool.c_str(), info.target);
    EXPECT_STREQ("-Min \"My File.txt\"", info.arguments);
    EXPECT_STREQ("Tool", info.displayName);
    EXPECT_STREQ(tool.c_str(), info.iconPath);
    EXPECT_EQ(3, info.iconIndex);
    EXPECT_NE(nullptr, info.icon);
    EXPECT_EQ(-1, info.imageIndex);
    EXPECT_STREQ("C:\\Work Dir", info.workingDirectory);
}

TEST_F(Shortcuts, LinkPathRule)
{
    CreateDirectoryA((dir + "upper").c_str(), NULL);
    std::string lower = Link("Tool.lnk", tool);
    std::string upper = Link("upper\\Tool.LNK", tool);
    Link("tools.lnk", tool);
    Link("abc.lnk", tool);
    Link("ab.lnk", tool);
    WriteTextFile(dir + "desktop.ini", "[.ShellClassInfo]\r\n");
    WriteTextFile(dir + "notalink.lnk", "this is text");

    struct Case {
        std::string path;
        int result;
        const char *displayName;
    } cases[] = {
        {lower, 1, "Tool"},
        {upper, 1, "Tool"},                   // opened under its own name
        {dir + "tools", 1, "t"},              // tools.lnk is opened; four characters dropped
        {dir + "abc", 1, ""},                 // abc.lnk: an empty name
        {dir + "ab.lnk", 1, "ab"},
        {dir + "desktop.ini", 0, ""},         // desktop.ini.lnk does not exist
        {dir + "notalink.lnk", 0, ""},
        {dir + "missing.lnk", 0, ""},
        {dir + "Tool.LNK.d\\x", 0, ""},       // ".lnk" anywhere: that very path
        {dir + std::string(300, 'x') + ".lnk", 0, ""},   // does not fit 260 wide characters
    };
    for (const Case &c : cases) {
        ShortcutInfo info;
        EXPECT_EQ(c.result, ReadShortcut(c.path.c_str(), &info)) << c.path;
        EXPECT_STREQ(c.path.c_str(), info.linkPath) << "never with .lnk added";
        if (c.result) {
            EXPECT_STREQ(c.displayName, info.displayName) << c.path;
        }
    }
}

TEST_F(Shortcuts, OnlyExeAndComTargetsAreListed)
{
    CreateDirectoryA((dir + "x.exe.d").c_str(), NULL);
    WriteTextFile(dir + "x.exe.d\\run.bat", "@echo off\r\n");
    WriteTextFile(dir + "run.bat", "@echo off\r\n");
    WriteTextFile(dir + "readme.txt", "text");
    WriteTextFile(dir + "old.COM", "");
    struct Case {
        std::string target;
        int result;
        bool wrapped;
    } cases[] = {
        {dir + "readme.txt", 0, false},
        {dir.substr(0, dir.size() - 1), 0, false},   // the folder itself
        {dir + "run.bat", 0, false},
        {dir + "x.exe.d\\run.bat", 1, false},   // ".exe" merely contained
        {dir + "old.COM", 1, false},
        {tool, 1, false},
        {"C:\\Tools\\ZARN.EXE", 1, true},
        {"C:\\Tools\\zarn.exe", 1, true},
        {"C:\\Tools\\zarn.exe.bat", 1, true},
    };
    int i = 0;
    for (const Case &c : cases) {
        std::string path = Link("t" + std::to_string(i++) + ".lnk", c.target);
        ShortcutInfo info;
        EXPECT_EQ(c.result, ReadShortcut(path.c_str(), &info)) << c.target;
        EXPECT_EQ(c.wrapped, info.wrapped) << c.target;
        if (c.result) {
            EXPECT_STREQ(c.target.c_str(), info.target);
        }
    }
}

TEST_F(Shortcuts, IconComesFromTheIconLocationOrElseTheTarget)
{
    LinkProps fromIcon;
    fromIcon.target = dir + "missing.exe";
    fromIcon.iconPath = tool;
    std::string withIcon = Link("icon.lnk", fromIcon);
    std::string fromTarget = Link("target.lnk", tool);
    std::string none = Link("none.lnk", dir + "missing.exe");

    ShortcutInfo a, b, c;
    ASSERT_EQ(1, ReadShortcut(withIcon.c_str(), &a));
    ASSERT_EQ(1, ReadShortcut(fromTarget.c_str(), &b));
    ASSERT_EQ(1, ReadShortcut(none.c_str(), &c));
    EXPECT_NE(nullptr, a.icon);
    EXPECT_NE(nullptr, b.icon);
    EXPECT_STREQ("", b.iconPath);
    EXPECT_EQ(nullptr, c.icon) << "a missing target has no icon, which is no failure";
    EXPECT_EQ(-1, c.imageIndex);

    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(b.icon, &ii));
    BITMAP bm{};
    GetObject(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), bm.bmWidth) << "the shell's large icon";
    if (ii.hbmColor)
        DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);

    /* a record read again gives up its earlier icon and starts afresh */
    ASSERT_EQ(1, ReadShortcut(none.c_str(), &b));
    EXPECT_EQ(nullptr, b.icon);
    EXPECT_EQ(0, ReadShortcut((dir + "missing.lnk").c_str(), &a));
    EXPECT_EQ(nullptr, a.icon);
    EXPECT_EQ(-1, a.iconIndex);
    EXPECT_STREQ("", a.target);
}

TEST_F(Shortcuts, LongValuesAreCutTo1023Bytes)
{
    LinkProps p;
    p.target = tool;
    p.arguments = std::string(1500, 'a');
    p.workingDirectory = "C:\\" + std::string(1500, 'w');
    p.iconPath = "C:\\" + std::string(1500, 'i');
    std::string ascii = Link("ascii.lnk", p);
    p.arguments = std::string(1022, 'a') + SO HYO;   // the cut falls inside a character
    std::string dbcs = Link("dbcs.lnk", p);

    ShortcutInfo info;
    ASSERT_EQ(1, ReadShortcut(ascii.c_str(), &info));
    EXPECT_EQ(std::string(1023, 'a'), (LPCSTR)info.arguments);
    EXPECT_EQ(1023, info.workingDirectory.GetLength());
    EXPECT_EQ(1023, info.iconPath.GetLength());
    ASSERT_EQ(1, ReadShortcut(dbcs.c_str(), &info));
    EXPECT_EQ(std::string(1022, 'a'), (LPCSTR)info.arguments) << "no half character is kept";
}

TEST_F(Shortcuts, DoubleByteNamesWithBackslashTrailBytes)
{
    std::string folder = dir + SO HYO;   // trail bytes 0x5C
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string target = folder + "\\" A_KANA "TOOL.EXE";
    ASSERT_TRUE(CopyFileA(tool.c_str(), target.c_str(), FALSE));
    std::string path = folder + "\\" SO HYO ".lnk";
    LinkProps p;
    p.target = target;
    p.arguments = "-" SO " " HYO;
    ASSERT_TRUE(MakeLink(path, p));

    ShortcutInfo info;
    ASSERT_EQ(1, ReadShortcut(path.c_str(), &info));
    EXPECT_STREQ(target.c_str(), info.target);
    EXPECT_STREQ(SO HYO, info.displayName);
    EXPECT_STREQ("-" SO " " HYO, info.arguments);
    EXPECT_NE(nullptr, info.icon);
    EXPECT_FALSE(info.wrapped);
}

/* ---- writing ---- */

TEST_F(Shortcuts, WriterChangesOnlyAnExistingFile)
{
    ShortcutInfo info;
    info.target = tool.c_str();
    for (std::string name : {"new.lnk", "new"}) {
        EXPECT_EQ(0, WriteShortcut((dir + name).c_str(), &info));
        EXPECT_FALSE(Exists(dir + "new.lnk"));
        EXPECT_FALSE(Exists(dir + "new"));
    }

    LinkProps p;
    p.target = dir + "missing.exe";
    p.description = "kept";
    p.hotkey = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    p.showCmd = SW_SHOWMINNOACTIVE;
    Link("kept.lnk", p);
    LinkProps made;   // as the link object gives it back (Wine keeps no show command)
    ASSERT_TRUE(ReadLink(dir + "kept.lnk", &made));
    info.arguments = "-a";
    info.iconPath = "C:\\x.ico";
    info.iconIndex = 2;
    info.workingDirectory = "C:\\Work";
    ASSERT_EQ(1, WriteShortcut((dir + "kept").c_str(), &info));   // kept.lnk by the path rule
    LinkProps read;
    ASSERT_TRUE(ReadLink(dir + "kept.lnk", &read));
    LinkProps expected = made;
    expected.target = tool;
    expected.arguments = "-a";
    expected.iconPath = "C:\\x.ico";
    expected.iconIndex = 2;
    expected.workingDirectory = "C:\\Work";
    EXPECT_EQ(expected, read);
}

/* ---- wrapping and unwrapping ---- */

struct WrapCase {
    const char *name;
    LinkProps plain;
    const char *wrappedArgs;    // what wrapping writes
    const char *unwrappedArgs;  // what unwrapping restores
    const char *unwrappedIcon;  // the icon location after unwrapping
    int unwrappedIconIndex;
};

void PrintTo(const WrapCase &c, std::ostream *os) { *os << c.name; }

class Wrapping : public Shortcuts, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(Wrapping, WrapsAndRestores)
{
    const WrapCase &c = GetParam();
    LinkProps plain = c.plain;
    plain.workingDirectory = "C:\\Work Dir";
    plain.description = "a description";
    plain.hotkey = MAKEWORD('T', HOTKEYF_CONTROL | HOTKEYF_ALT);
    plain.showCmd = SW_SHOWMAXIMIZED;
    std::string path = Link("w.lnk", plain);
    ASSERT_TRUE(ReadLink(path, &plain));   // as the link object gives it back

    ShortcutInfo info;
    ASSERT_EQ(1, ReadShortcut(path.c_str(), &info));
    WrapShortcut(&info);
    EXPECT_FALSE(info.wrapped) << "the record's state is left to the next reading";

    LinkProps wrapped;
    ASSERT_TRUE(ReadLink(path, &wrapped));
    LinkProps expected = plain;
    expected.target = ZarnPath();
    expected.arguments = c.wrappedArgs;
    if (plain.iconPath.empty()) {
        expected.iconPath = plain.target;
        expected.iconIndex = 0;
    }
    EXPECT_EQ(expected, wrapped);

    ShortcutInfo again;
    ASSERT_EQ(1, ReadShortcut(path.c_str(), &again));
    EXPECT_TRUE(again.wrapped);
    UnwrapShortcut(&again);
    LinkProps restored;
    ASSERT_TRUE(ReadLink(path, &restored));
    expected = plain;
    expected.arguments = c.unwrappedArgs;
    expected.iconPath = c.unwrappedIcon;
    expected.iconIndex = c.unwrappedIconIndex;
    EXPECT_EQ(expected, restored);
}

static LinkProps Plain(const char *target, const char *args, const char *icon = "", int index = 0)
{
    LinkProps p;
    p.target = target;
    p.arguments = args;
    p.iconPath = icon;
    p.iconIndex = index;
    return p;
}

INSTANTIATE_TEST_SUITE_P(Table, Wrapping, ::testing::Values(
    WrapCase{"NoArguments", Plain("C:\\Apps\\tool.exe", ""),
             "/J \"C:\\Apps\\tool.exe\"", "", "", 0},
    WrapCase{"BlankInTarget", Plain("C:\\Program Files\\Tool\\tool.exe", "-min"),
             "/J \"\\\"C:\\Program Files\\Tool\\tool.exe\\\" -min\"", "-min", "", 0},
    WrapCase{"QuotedArgument", Plain("C:\\Apps\\tool.exe", "-open \"my file.txt\""),
             "/J \"C:\\Apps\\tool.exe -open \\\"my file.txt\\\"\"", "-open \"my file.txt\"", "", 0},
    WrapCase{"BlanksOnly", Plain("C:\\Apps\\tool.exe", "   "),
             "/J \"C:\\Apps\\tool.exe    \"", "", "", 0},
    WrapCase{"SurroundingWhiteSpace", Plain("C:\\Apps\\tool.exe", " \t-x  "),
             "/J \"C:\\Apps\\tool.exe  \t-x  \"", "-x", "", 0},
    WrapCase{"OwnIconKept", Plain("C:\\Apps\\tool.exe", "", "C:\\Icons\\a.ico", 3),
             "/J \"C:\\Apps\\tool.exe\"", "", "C:\\Icons\\a.ico", 3},
    WrapCase{"IconOfTargetClearedInAnyCase", Plain("C:\\Apps\\tool.exe", "", "c:\\apps\\TOOL.EXE", 0),
             "/J \"C:\\Apps\\tool.exe\"", "", "", 0},
    WrapCase{"IconOfTargetWithIndexKept", Plain("C:\\Apps\\tool.exe", "", "C:\\Apps\\tool.exe", 1),
             "/J \"C:\\Apps\\tool.exe\"", "", "C:\\Apps\\tool.exe", 1},
    // A backslash at the end or before a quote is doubled, so that Zarn's
    // argument 2 is the command itself.
    WrapCase{"ArgumentEndsWithBackslash", Plain("C:\\Apps\\tool.exe", "C:\\Data\\"),
             "/J \"C:\\Apps\\tool.exe C:\\Data\\\\\"", "C:\\Data\\", "", 0},
    WrapCase{"BackslashBeforeQuote", Plain("C:\\Apps\\tool.exe", "-d \"C:\\Data\\\" -x"),
             "/J \"C:\\Apps\\tool.exe -d \\\"C:\\Data\\\\\\\" -x\"", "-d \"C:\\Data\\\" -x", "", 0},
    WrapCase{"TwoBackslashesBeforeQuote", Plain("C:\\Apps\\tool.exe", "-d \"C:\\Data\\\\\" -x"),
             "/J \"C:\\Apps\\tool.exe -d \\\"C:\\Data\\\\\\\\\\\" -x\"", "-d \"C:\\Data\\\\\" -x", "", 0},
    WrapCase{"TargetWithBlankAndTrailBytes", Plain("C:\\" SO " " HYO "\\tool.exe", HYO "\"" SO "\""),
             "/J \"\\\"C:\\" SO " " HYO "\\tool.exe\\\" " HYO "\\\"" SO "\\\"\"", HYO "\"" SO "\"", "", 0},
    WrapCase{"ArgumentEndsWithTrailByte", Plain("C:\\Apps\\tool.exe", "-" SO),
             "/J \"C:\\Apps\\tool.exe -" SO "\"", "-" SO, "", 0}),
    [](const ::testing::TestParamInfo<WrapCase> &i) { return std::string(i.param.name); });

TEST_F(Shortcuts, WrappedTargetIsZarnBesideThisProgram)
{
    std::string path = Link("w.lnk", tool);
    ShortcutInfo info;
    ASSERT_EQ(1, ReadShortcut(path.c_str(), &info));
    WrapShortcut(&info);
    EXPECT_STREQ(ZarnPath().c_str(), info.target);
    ASSERT_EQ(1, ReadShortcut(path.c_str(), &info));
    EXPECT_TRUE(info.wrapped);
    EXPECT_STREQ(ZarnPath().c_str(), info.target);
}

/* Refused forms leave the file as it was, byte for byte. */
TEST_F(Shortcuts, RefusedFormsWriteNothing)
{
    struct Case {
        const char *what;
        std::string target, args;
        bool wrap;   // else unwrap
    } cases[] = {
        {"wrap of a wrapped one", "C:\\Tools\\ZARN.exe", "/J \"x.exe\"", true},
        {"wrap of zarn.exe in any case", "C:\\Z\\Zarn.Exe", "", true},
        {"unwrap of a plain one", "C:\\Apps\\tool.exe", "/J \"x.exe\"", false},
        {"no /j and blank", "C:\\Tools\\zarn.exe", "/Jx.exe", false},
        {"no closing quote", "C:\\Tools\\zarn.exe", "/J \"x.exe", false},
        {"argument ending in an escaped quote", "C:\\Tools\\zarn.exe", "/J \"x.exe a\\\"", false},
        {"quoted target without its end", "C:\\Tools\\zarn.exe", "/J \"\\\"C:\\a b\\x.exe -x\"", false},
        {"nothing after /J", "C:\\Tools\\zarn.exe", "/J    ", false},
        {"empty quoted command", "C:\\Tools\\zarn.exe", "/J \"\"", false},
        {"empty quoted target", "C:\\Tools\\zarn.exe", "/J \"\\\"\\\" -x\"", false},
    };
    int i = 0;
    for (const Case &c : cases) {
        std::string path = Link("r" + std::to_string(i++) + ".lnk", c.target, c.args);
        std::string before = FileBytes(path);
        ShortcutInfo info;
        ASSERT_EQ(1, ReadShortcut(path.c_str(), &info)) << c.what;
        if (c.wrap)
            WrapShortcut(&info);
        else
            UnwrapShortcut(&info);
        EXPECT_EQ(before, FileBytes(path)) << c.what;
    }
}

/* Other ways of writing "/J" and what follows it. */
TEST_F(Shortcuts, UnwrapReadsHandWrittenForms)
{
    struct Case {
        const char *args;
        const char *target, *arguments;
    } cases[] = {
        {"/J C:\\Apps\\tool.exe -x", "C:\\Apps\\tool.exe -x", ""},        // no quote: the whole text
        {"/j \"C:\\Apps\\tool.exe\"", "C:\\Apps\\tool.exe", ""},          // lower-case j
        {"-q /J  \t\"C:\\Apps\\tool.exe a\" ignored", "C:\\Apps\\tool.exe", "a"},
        {"/J \"C:\\Apps\\tool.exe a \\\"b\\\" \"", "C:\\Apps\\tool.exe", "a \"b\""},
    };
    int i = 0;
    for (const Case &c : cases) {
        std::string path = Link("h" + std::to_string(i++) + ".lnk", "C:\\Tools\\Zarn.exe", c.args);
        ShortcutInfo info;
        ASSERT_EQ(1, ReadShortcut(path.c_str(), &info));
        UnwrapShortcut(&info);
        LinkProps read;
        ASSERT_TRUE(ReadLink(path, &read));
        EXPECT_EQ(c.target, read.target) << c.args;
        EXPECT_EQ(c.arguments, read.arguments) << c.args;
    }
}
