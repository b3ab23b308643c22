// The contract between Zarninst and Zarn: for a target P and arguments A,
// the wrapped shortcut's arguments, split by the real run-time of a Windows
// program, give "/J" and exactly the command line C (P in quotes when it
// holds a blank, then a blank and A); unwrapping gives back P and A without
// its surrounding white space.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <vector>
#include "LinkFiles.h"
#include "Shortcut.h"
#include "Support.h"

namespace {

std::string Trimmed(const std::string &s)
{
    const char *white = " \t\n\v\f\r";
    size_t first = s.find_first_not_of(white);
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(white) - first + 1);
}

std::string CommandLine(const std::string &p, const std::string &a)
{
    std::string t = p.find(' ') != std::string::npos ? "\"" + p + "\"" : p;
    return a.empty() ? t : t + " " + a;
}

std::string Printable(const std::string &s)
{
    std::string out;
    for (unsigned char c : s) {
        char hex[8];
        if (c >= 0x20 && c < 0x7f) {
            out += (char)c;
        } else {
            snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        }
    }
    return out;
}

const char *const kTargets[] = {
    "C:\\Apps\\tool.exe",
    "C:\\Program Files\\Tool\\tool.exe",
    "C:\\" SO " " HYO "\\" A_KANA "A.exe",   // a blank and trail bytes 0x5C and 'A'
    "C:\\" SO HYO "\\" HYO ".exe",
    "C:\\My Tools\\",                       // a blank and a backslash at the end
    "C:\\Tools\\x.exe\\",
};

const char *const kArguments[] = {
    "", " ", "   ", "-x", "  -x  ", "\t-x\t", "a b  c",
    "\\", "\\\\\\", "a\\", "C:\\Data\\", "C:\\My Data\\\\",
    "\"", "\"\"", "\"\"\"", "\\\"", "\\\\\"", "a\"\"b",
    "a \"b c\" d", "-f \"C:\\My Data\\\" -x", "\"C:\\x\\\\\" \"\"",
    "  \" x \\ ",
    SO, SO "\\", SO "\"", "\"" HYO "\"", HYO "\\\"" SO, A_KANA "A \"" ZENKAKU_A "\"",
};

}  // namespace

class RoundTrip : public ::testing::Test {
protected:
    std::string dir, link, out;

    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED)));
        dir = MakeTempDir("roundtrip");
        ASSERT_FALSE(dir.empty());
        link = dir + "w.lnk";
        out = dir + "argv.bin";
        SetEnvironmentVariableA("ZARN_ARGECHO_OUT", out.c_str());
    }
    void TearDown() override
    {
        RemoveTree(dir);
        CoUninitialize();
    }

    /* The arguments after the program as the echo program's run-time split them. */
    std::vector<std::string> Split(const std::string &arguments)
    {
        DeleteFileA(out.c_str());
        Process echo;
        std::vector<std::string> argv;
        if (!echo.Start("\"" + BinPath("argecho.exe") + "\" " + arguments) || echo.Wait(30000) != 0)
            return {"<echo failed>"};
        std::string bytes = ReadTextFile(out);
        for (size_t at = 0; at < bytes.size(); ) {
            size_t end = bytes.find('\0', at);
            argv.push_back(bytes.substr(at, end - at));
            at = end + 1;
        }
        return argv;
    }
};

TEST_F(RoundTrip, ZarnGetsTheCommandAndUnwrappingRestoresIt)
{
    for (const char *p : kTargets) {
        /* One echo run splits the wrapped texts of all argument cases of
           this target, one after another: each must give exactly "/J" and
           its command. Only on a mismatch is each case run alone, to name it. */
        std::string all;
        std::vector<std::string> expected, wrappedTexts;
        for (const char *a : kArguments) {
            SCOPED_TRACE("P=" + Printable(p) + " A=" + Printable(a));
            LinkProps plain;
            plain.target = "C:\\placeholder.exe";
            ASSERT_TRUE(MakeLink(link, plain));

            ShortcutInfo info;
            info.linkPath = link.c_str();
            info.target = p;
            info.arguments = a;
            WrapShortcut(&info);
            std::string wrapped = (LPCSTR)info.arguments;
            wrappedTexts.push_back(wrapped);
            all += " " + wrapped;
            expected.push_back("/J");
            expected.push_back(CommandLine(p, a));

            LinkProps stored;
            ASSERT_TRUE(ReadLink(link, &stored));
            EXPECT_EQ(wrapped, stored.arguments);

            ShortcutInfo back;
            ASSERT_EQ(1, ReadShortcut(link.c_str(), &back));
            ASSERT_TRUE(back.wrapped);
            UnwrapShortcut(&back);
            EXPECT_EQ(std::string(p), (LPCSTR)back.target);
            EXPECT_EQ(Trimmed(a), (LPCSTR)back.arguments);
            EXPECT_STREQ("", back.iconPath) << "the icon location that wrapping filled is removed";
        }
        if (Split(all) == expected)
            continue;
        for (size_t i = 0; i < wrappedTexts.size(); i++) {
            std::vector<std::string> one = {expected[2 * i], expected[2 * i + 1]};
            EXPECT_EQ(one, Split(wrappedTexts[i])) << "P=" << Printable(p) << " wrapped: "
                                                   << Printable(wrappedTexts[i]);
        }
    }
}
