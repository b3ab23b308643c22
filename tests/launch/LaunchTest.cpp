// "/J": Zarn starts a program and trays its main window, at a first start
// and when a second start hands the command over. Real processes throughout:
// the launched test-window programs log their main window, so that the test
// can find them, check them against Zarn and end them afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "Support.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

// One argument for a command line, quoted by the run-time's rules, so that
// Zarn's argument 2 is exactly `text`.
std::string QuoteArg(const std::string &text)
{
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : text) {
        if (c == '\\') {
            slashes++;
            continue;
        }
        out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, '\\');
    return out + "\"";
}

DWORD WindowPid(HWND w)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

int ThreadCount(DWORD pid)
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 te{};
    te.dwSize = sizeof te;
    int n = 0;
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == pid)
            n++;
    CloseHandle(snap);
    return n;
}

// Programs that Zarn starts for a test; nobody else holds their handles, so
// they are found by their logs (or window class) and ended at the end. Ended
// before Zarn is closed, Zarn has no windows to give back on its way out.
struct Launches {
    std::string dir = MakeTempDir("launch");
    std::vector<std::string> logs;
    std::vector<std::string> classes;

    ~Launches()
    {
        End();
        RemoveTree(dir);
    }
    void End()
    {
        for (const std::string &log : logs)
            if (HWND w = WindowOf(log))
                KillProcessId(WindowPid(w));
        for (const std::string &cls : classes)
            while (HWND w = FindWindowA(cls.c_str(), NULL)) {
                DWORD pid = WindowPid(w);
                KillProcessId(pid);
                if (IsWindow(w) && WindowPid(w) == pid)
                    break;
            }
    }
    // A test-window command with its own log; the log names the window.
    std::string Command(const char *name, const std::string &options)
    {
        std::string log = dir + name + ".log";
        logs.push_back(log);
        return "\"" + BinPath("testwin.exe") + "\" " + options + " \"/log=" + log + "\"";
    }
    std::string Log(const char *name) const { return ReadTextFile(dir + name + ".log"); }
    static HWND WindowOf(const std::string &log)
    {
        std::string text = ReadTextFile(log);
        size_t at = text.find("ready ");
        if (at == std::string::npos)
            return nullptr;
        HWND w = (HWND)(ULONG_PTR)strtoull(text.c_str() + at + 6, nullptr, 16);
        return IsWindow(w) ? w : nullptr;
    }
    HWND Window(const char *name, DWORD timeoutMs = 20000) const
    {
        HWND w = nullptr;
        WaitUntil([&] { return (w = WindowOf(dir + name + ".log")) != nullptr; }, timeoutMs);
        return w;
    }
};

// Zarn's answer to "this window was minimized": 1 only for a window in its
// tray registry (it hides it, which changes nothing for a trayed window).
LRESULT AskRegistered(HWND zarn, HWND w)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(zarn, MSG_WINDOW_MINIMIZED, (WPARAM)w, 0, SMTO_NORMAL, 5000, &result))
        return -1;
    return (LRESULT)result;
}

// Hidden first (by Zarn, through its hook), then confirmed as registered.
bool IsTrayed(HWND zarn, HWND w)
{
    return IsWindow(w) && !IsWindowVisible(w) && AskRegistered(zarn, w) == 1;
}

// A first start with a chosen show state in its start-up information, which
// Zarn passes on to the programs it starts.
bool StartZarn(ZarnSandbox &z, const std::string &args, WORD showCmd)
{
    if (!showCmd)
        return z.Start(args);
    if (!CopyFileA(BinPath("zarn.exe").c_str(), z.Exe().c_str(), FALSE) ||
        !CopyFileA(BinPath("ZarnDLL.DLL").c_str(), (z.dir + "ZarnDLL.DLL").c_str(), FALSE))
        return false;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = showCmd;
    std::string line = "\"" + z.Exe() + "\" " + args;
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back(0);
    return CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL, z.dir.c_str(), &si,
                          &z.proc.pi) != 0;
}

enum Road { FirstStart, HandOver };

struct TrayCase {
    const char *name;
    Road road;
    const char *options;     // for the test-window program; null: Wine's notepad
    WORD showCmd;            // how the first Zarn itself is started (0: default)
    const char *logged;      // a line the program must have logged, or null
};

void PrintTo(const TrayCase &c, std::ostream *os) { *os << c.name; }

class Trays : public ::testing::TestWithParam<TrayCase> {};

TEST_P(Trays, LaunchedWindowEndsUpInTheTray)
{
    const TrayCase &c = GetParam();
    ZarnSandbox z;
    Launches launches;
    std::string command;
    if (c.options) {
        std::string options = c.options;
        if (options == "LONG")   // thousands of characters, the log option last
            options = "/pad=" + std::string(6000, 'x');
        command = launches.Command("prog", options);
    } else {
        command = "notepad.exe";
        launches.classes.push_back("Notepad");
    }

    Process second;
    if (c.road == FirstStart) {
        ASSERT_TRUE(StartZarn(z, "/J " + QuoteArg(command), c.showCmd));
    } else {
        ASSERT_TRUE(StartZarn(z, "", c.showCmd));
        ASSERT_NE(nullptr, z.WaitWindow());
        ASSERT_TRUE(second.Start("\"" + z.Exe() + "\" /J " + QuoteArg(command)));
    }
    HWND zarn = z.WaitWindow();
    ASSERT_NE(nullptr, zarn);

    if (c.road == HandOver) {
        EXPECT_EQ(0u, second.Wait(45000));
        // It returned only after the running Zarn had waited for the program.
        if (c.options) {
            EXPECT_NE(std::string::npos, launches.Log("prog").find("ready"));
        }
    }

    HWND w = nullptr;
    if (c.options) {
        w = launches.Window("prog");
    } else {
        WaitUntil([&] { return (w = FindWindowA("Notepad", NULL)) != nullptr; }, 20000);
    }
    ASSERT_NE(nullptr, w);
    EXPECT_TRUE(WaitUntil([&] { return IsTrayed(zarn, w); }, 20000));
    if (c.logged) {
        EXPECT_NE(std::string::npos, launches.Log("prog").find(c.logged)) << launches.Log("prog");
    }
    launches.End();
    EXPECT_EQ(0u, z.Close());
}

INSTANTIATE_TEST_SUITE_P(Table, Trays, ::testing::Values(
    TrayCase{"FirstStart", FirstStart, "", 0, nullptr},
    TrayCase{"HandOver", HandOver, "/busy=1500", 0, nullptr},
    TrayCase{"Notepad", FirstStart, nullptr, 0, nullptr},
    TrayCase{"NotepadHandOver", HandOver, nullptr, 0, nullptr},
    TrayCase{"StartedMinimized", HandOver, "/min", 0, nullptr},
    // The show state reaches the program as Zarn received it.
    TrayCase{"MinimizedByStartupInfo", FirstStart, "/cmdshow", SW_SHOWMINNOACTIVE, "size 1"},
    TrayCase{"MaximizedByStartupInfo", HandOver, "/cmdshow", SW_SHOWMAXIMIZED, "size 2"},
    TrayCase{"ShownAfterIdle", FirstStart, "/late=2000", 0, nullptr},
    TrayCase{"ShownAfterIdleHandOver", HandOver, "/late=2000", 0, nullptr},
    TrayCase{"LongCommandFirstStart", FirstStart, "LONG", 0, nullptr},
    TrayCase{"LongCommandHandOver", HandOver, "LONG", 0, nullptr}),
    [](const ::testing::TestParamInfo<TrayCase> &i) { return std::string(i.param.name); });

unsigned long TickOf(const std::string &log, int which)
{
    size_t at = log.find("ticks ");
    if (at == std::string::npos)
        return 0;
    char *end = nullptr;
    unsigned long start = strtoul(log.c_str() + at + 6, &end, 10);
    return which == 0 ? start : strtoul(end, nullptr, 10);
}

TEST(LaunchHandOver, TwoInQuickSuccessionAreLaunchedOneAfterTheOther)
{
    ZarnSandbox z;
    Launches launches;
    ASSERT_TRUE(z.Start());
    HWND zarn = z.WaitWindow();
    ASSERT_NE(nullptr, zarn);
    Process a, b;
    ASSERT_TRUE(a.Start("\"" + z.Exe() + "\" /J " +
                        QuoteArg(launches.Command("a", "/busy=1500 /ticks /title=First"))));
    ASSERT_TRUE(b.Start("\"" + z.Exe() + "\" /J " +
                        QuoteArg(launches.Command("b", "/busy=1500 /ticks /title=Second"))));
    EXPECT_EQ(0u, a.Wait(60000));
    EXPECT_EQ(0u, b.Wait(60000));
    HWND wa = launches.Window("a"), wb = launches.Window("b");
    ASSERT_TRUE(wa && wb);
    EXPECT_TRUE(WaitUntil([&] { return IsTrayed(zarn, wa) && IsTrayed(zarn, wb); }, 20000));

    // Whichever came second was started only once the first was ready.
    std::string la = launches.Log("a"), lb = launches.Log("b");
    unsigned long startA = TickOf(la, 0), readyA = TickOf(la, 1);
    unsigned long startB = TickOf(lb, 0), readyB = TickOf(lb, 1);
    ASSERT_TRUE(startA && startB) << la << lb;
    if (startA <= startB)
        EXPECT_GE(startB, readyA) << la << lb;
    else
        EXPECT_GE(startA, readyB) << la << lb;
    launches.End();
    EXPECT_EQ(0u, z.Close());
}

TEST(Launch, CommandThatCannotStartReleasesZarnAtOnce)
{
    const std::string missing = QuoteArg("Z:\\no\\such\\program.exe -x");
    ZarnSandbox z;
    Launches launches;
    ASSERT_TRUE(z.Start("/J " + missing));
    HWND zarn = z.WaitWindow();
    ASSERT_NE(nullptr, zarn);

    // Well under the 30 seconds Zarn would wait for a program that started.
    Process second;
    ASSERT_TRUE(second.Start("\"" + z.Exe() + "\" /J " + missing));
    EXPECT_EQ(0u, second.Wait(10000));

    // And Zarn goes on launching.
    Process third;
    ASSERT_TRUE(third.Start("\"" + z.Exe() + "\" /J " + QuoteArg(launches.Command("ok", ""))));
    EXPECT_EQ(0u, third.Wait(45000));
    HWND w = launches.Window("ok");
    ASSERT_NE(nullptr, w);
    EXPECT_TRUE(WaitUntil([&] { return IsTrayed(zarn, w); }, 20000));
    launches.End();
    EXPECT_EQ(0u, z.Close());
}

// The programs whose windows never qualify are launched through one Zarn
// together, so that their searches overlap and the test waits the search
// time once. "/O" is launched by nobody, at a first start or handed over.
TEST(LaunchSlow, NeverTrayedAndTheWorkersEndSilently)
{
    struct Never {
        const char *name;
        const char *options;
        bool visible;
    } const never[] = {
        {"popup", "/popup /title=Popup", true},
        {"untitled", "/title=", true},
        {"hidden", "/hidden /title=Hidden", false},
        {"disabled", "/disabled /title=Disabled", true},
    };
    ZarnSandbox z;
    Launches launches;
    ASSERT_TRUE(z.Start("/O " + QuoteArg(launches.Command("openfirst", ""))));
    HWND zarn = z.WaitWindow();
    ASSERT_NE(nullptr, zarn);
    PumpFor(500);
    int baseline = ThreadCount(z.proc.Pid());
    ASSERT_GT(baseline, 0);

    auto handOver = [&](const char *mode, const std::string &command) {
        Process p;
        ASSERT_TRUE(p.Start("\"" + z.Exe() + "\" " + mode + " " + QuoteArg(command)));
        EXPECT_EQ(0u, p.Wait(45000));
    };
    handOver("/O", launches.Command("opensecond", ""));
    for (const Never &n : never)
        handOver("/J", launches.Command(n.name, n.options));
    // Hands its work to another program and ends: that program's window
    // qualifies, but it is not the process Zarn started.
    std::string target = launches.Command("target", "/title=Target");
    handOver("/J", launches.Command("handoff", QuoteArg("/handoff=" + target)));

    std::vector<HWND> windows;
    for (const Never &n : never) {
        windows.push_back(launches.Window(n.name));
        ASSERT_NE(nullptr, windows.back()) << n.name;
    }
    HWND handedTo = launches.Window("target");
    ASSERT_NE(nullptr, handedTo);

    // The workers search for a while, then all end without a word.
    EXPECT_GT(ThreadCount(z.proc.Pid()), baseline);
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount(z.proc.Pid()) <= baseline; }, 60000))
        << ThreadCount(z.proc.Pid()) << " threads, " << baseline << " before";

    for (size_t i = 0; i < windows.size(); i++) {
        SCOPED_TRACE(never[i].name);
        EXPECT_EQ(never[i].visible, IsWindowVisible(windows[i]) != FALSE);
        EXPECT_FALSE(IsIconic(windows[i]));
        EXPECT_EQ(0, AskRegistered(zarn, windows[i]));
    }
    EXPECT_TRUE(IsWindowVisible(handedTo));
    EXPECT_FALSE(IsIconic(handedTo));
    EXPECT_EQ(0, AskRegistered(zarn, handedTo));
    EXPECT_EQ(nullptr, launches.Window("openfirst", 0));
    EXPECT_EQ(nullptr, launches.Window("opensecond", 0));
    EXPECT_EQ(0u, z.Close());
}

}  // namespace
