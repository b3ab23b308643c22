// The window actions end to end: a real zarn.exe in a sandbox folder, real
// key presses through SendInput, test windows and Wine's notepad in other
// processes, and a real double-click in Wine's notification area.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "Support.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

struct Keys {
    UINT mods, vk;
};
const Keys kMinimize{MOD_ALT, VK_F3};
const Keys kTrayIn{MOD_ALT | MOD_CONTROL, VK_F3};
const Keys kTopMost{MOD_ALT, VK_F2};
const int kFirstTrayedId = 2;   // Zarn's own icon is 1; the lowest free id is handed out

bool IsTopMost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
bool Has(const std::string &log, const char *text) { return log.find(text) != std::string::npos; }

// A test window whose log can be read from a mark on.
struct LoggedWindow : TestWindow {
    size_t mark = 0;
    bool Open(const std::string &options = "")
    {
        bool ok = Start(options, true);
        Mark();
        return ok;
    }
    void Mark() { mark = Log().size(); }
    std::string Since() const { return Log().substr(mark); }
};

// Zarn holds its mutex from before its window exists until after its
// hotkeys are registered, then closes it: once the window is there, a
// mutex that is gone or can be taken means the start-up is complete.
bool WaitStartUpDone()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, ZARN_MUTEX_NAME);
    if (!mutex)
        return true;
    DWORD r = WaitForSingleObject(mutex, 10000);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED)
        ReleaseMutex(mutex);
    CloseHandle(mutex);
    return r == WAIT_OBJECT_0;
}

class ZarnE2E : public ::testing::Test {
protected:
    ZarnSandbox zarn;
    HWND zw = nullptr;

    virtual std::string Ini() { return ""; }
    void SetUp() override
    {
        std::string ini = Ini();
        if (!ini.empty()) {
            ASSERT_TRUE(zarn.WriteIni(ini));
        }
        ASSERT_TRUE(zarn.Start());
        zw = zarn.WaitWindow();
        ASSERT_NE(nullptr, zw);
        ASSERT_TRUE(WaitStartUpDone());
    }
    void TearDown() override { EXPECT_EQ(0u, zarn.Close()); }

    // Wine brings its modifier keys in line with the X server's (where none
    // is down) when a window gets the X focus; letting a focus change settle
    // first keeps that from releasing the modifiers in the middle of a press.
    void Press(Keys k)
    {
        PumpFor(150);
        PressKey(k.mods, k.vk);
    }
    // 1 only for a window in Zarn's registry (which it then hides), else 0.
    LRESULT ReportMinimized(HWND w) { return SendMessageA(zw, MSG_WINDOW_MINIMIZED, (WPARAM)w, 0); }
    bool WaitHidden(HWND w) { return WaitUntil([&] { return !IsWindowVisible(w); }); }
    bool WaitShown(HWND w) { return WaitUntil([&] { return IsWindowVisible(w) && !IsIconic(w); }); }
    // The tray menu's item for a trayed window: shown again, icon kept.
    void Restore(int id) { SendMessageA(zw, WM_COMMAND, IDM_WINDOW_BASE + id, 0); }
    // Hotkeys are handled in the order pressed: once a TopMost press on the
    // focused window w shows, every earlier press has been handled.
    void FlushWithTopMost(HWND w)
    {
        bool was = IsTopMost(w);
        Press(kTopMost);
        ASSERT_TRUE(WaitUntil([&] { return IsTopMost(w) != was; })) << "TopMost hotkey not handled";
    }
    // Reports queued by the restore itself must not hide the window again.
    void ExpectStaysShown(HWND w)
    {
        FlushWithTopMost(w);
        EXPECT_TRUE(IsWindowVisible(w) && !IsIconic(w)) << "hidden again after the restore";
    }
    void TrayByHotkey(HWND w)
    {
        ASSERT_TRUE(FocusWindow(w));
        Press(kTrayIn);
        ASSERT_TRUE(WaitHidden(w)) << "TrayIn did not hide the window";
    }
};

// --- TrayIn -----------------------------------------------------------------

struct Target {
    const char *label;
    bool notepad;
};

class TrayIn : public ZarnE2E, public ::testing::WithParamInterface<Target> {};

TEST_P(TrayIn, HidesTheFocusedWindowAddsItsIconAndRestoresIt)
{
    LoggedWindow tw;
    Process notepad;
    HWND w;
    if (GetParam().notepad) {
        ASSERT_TRUE(notepad.Start("notepad.exe"));
        w = WaitForProcessWindow(notepad.Pid(), "Notepad");
        ASSERT_NE(nullptr, w);
        ASSERT_TRUE(WaitShown(w));
    } else {
        ASSERT_TRUE(tw.Open());
        w = tw.hwnd;
    }
    ASSERT_EQ(0, ReportMinimized(w)) << "not trayed yet";

    TrayByHotkey(w);
    EXPECT_EQ(1, ReportMinimized(w)) << "the window is in Zarn's registry";
    if (!GetParam().notepad) {
        EXPECT_TRUE(Has(tw.Since(), "size 1")) << "minimized on the way: " << tw.Since();
    }

    Restore(kFirstTrayedId);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_FALSE(IsIconic(w));
    EXPECT_EQ(w, GetForegroundWindow());
    ExpectStaysShown(w);
    EXPECT_EQ(1, ReportMinimized(w)) << "still trayed after the restore";
}

INSTANTIATE_TEST_SUITE_P(Windows, TrayIn, ::testing::Values(Target{"TestWindow", false},
                                                            Target{"WineNotepad", true}),
                         [](const ::testing::TestParamInfo<Target> &i) { return std::string(i.param.label); });

TEST_F(ZarnE2E, TrayInOnTheShownTrayedWindowTakesItOutAndLeavesItInFront)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open());
    TrayByHotkey(tw.hwnd);
    Restore(kFirstTrayedId);
    ASSERT_TRUE(IsWindowVisible(tw.hwnd));

    ASSERT_TRUE(FocusWindow(tw.hwnd));
    tw.Mark();
    Press(kTrayIn);
    FlushWithTopMost(tw.hwnd);
    EXPECT_TRUE(IsWindowVisible(tw.hwnd));
    EXPECT_FALSE(IsIconic(tw.hwnd));
    EXPECT_EQ(tw.hwnd, GetForegroundWindow());
    EXPECT_FALSE(Has(tw.Since(), "size 1")) << tw.Since();
    EXPECT_EQ(0, ReportMinimized(tw.hwnd)) << "taken out of the registry";
}

// A minimized window cannot hold the focus itself; its owned dialog can.
TEST_F(ZarnE2E, TrayInOnAMinimizedWindowHidesItWithoutTheMinimizeStep)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open("/min /owned"));
    ASSERT_TRUE(IsIconic(tw.hwnd));
    SendMessageA(tw.hwnd, TW_FOCUSOWNED, 0, 0);
    tw.Mark();
    Press(kTrayIn);
    ASSERT_TRUE(WaitHidden(tw.hwnd));
    EXPECT_EQ(1, ReportMinimized(tw.hwnd));
    std::string log = tw.Since();
    EXPECT_FALSE(Has(log, "size 1")) << log;
    EXPECT_FALSE(Has(log, "syscommand")) << log;
    EXPECT_TRUE(Has(log, "showwindow 0")) << log;
}

TEST_F(ZarnE2E, FocusInAnOwnedDialogActsOnTheOwner)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open("/owned"));
    HWND owned = FindWindowA(TESTWIN_CLASS "Owned", NULL);
    ASSERT_NE(nullptr, owned);
    ASSERT_TRUE(FocusWindow(tw.hwnd));
    SendMessageA(tw.hwnd, TW_FOCUSOWNED, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == owned; }));

    Press(kTopMost);
    EXPECT_TRUE(WaitUntil([&] { return IsTopMost(tw.hwnd); }));
    Press(kTrayIn);
    ASSERT_TRUE(WaitHidden(tw.hwnd));
    EXPECT_EQ(1, ReportMinimized(tw.hwnd));
    EXPECT_EQ(0, ReportMinimized(owned));
}

TEST_F(ZarnE2E, WindowWithoutSystemMenuIsRefusedByTrayInAndMinimize)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open("/nosysmenu"));
    ASSERT_TRUE(FocusWindow(tw.hwnd));
    Press(kTrayIn);
    Press(kMinimize);
    FlushWithTopMost(tw.hwnd);   // TopMost needs no system menu
    EXPECT_TRUE(IsWindowVisible(tw.hwnd));
    EXPECT_FALSE(IsIconic(tw.hwnd));
    EXPECT_EQ(0, ReportMinimized(tw.hwnd));
    EXPECT_FALSE(Has(tw.Since(), "syscommand")) << tw.Since();
    EXPECT_FALSE(Has(tw.Since(), "size")) << tw.Since();
}

// --- Minimize ---------------------------------------------------------------

struct SysAnswer {
    const char *label;
    const char *options;
};

class MinimizeHotkey : public ZarnE2E, public ::testing::WithParamInterface<SysAnswer> {};

TEST_P(MinimizeHotkey, GoesThroughTheWindowsOwnSysCommand)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open(GetParam().options));
    ASSERT_TRUE(FocusWindow(tw.hwnd));
    Press(kMinimize);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(tw.hwnd) != 0; }));
    std::string log = tw.Since();
    EXPECT_TRUE(Has(log, "syscommand f020 -1")) << "as from a system accelerator: " << log;
    EXPECT_TRUE(IsWindowVisible(tw.hwnd)) << "minimized, not trayed";
    EXPECT_EQ(0, ReportMinimized(tw.hwnd));
}

// Answering 0 is the standard handling, which minimizes by itself; a window
// that answers non-zero did not, so Zarn's ShowWindow has to follow.
INSTANTIATE_TEST_SUITE_P(Answers, MinimizeHotkey,
                         ::testing::Values(SysAnswer{"StandardHandling", ""},
                                           SysAnswer{"NonZeroAnswer", "/sysret=7"}),
                         [](const ::testing::TestParamInfo<SysAnswer> &i) { return std::string(i.param.label); });

// --- TopMost ----------------------------------------------------------------

class TopMostTwice : public ZarnE2E, public ::testing::WithParamInterface<bool> {};

TEST_P(TopMostTwice, RestoresTheStateAndNeverMovesSizesOrActivates)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open());
    bool initially = GetParam();
    if (initially)
        SetWindowPos(tw.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(initially, IsTopMost(tw.hwnd));
    ASSERT_TRUE(FocusWindow(tw.hwnd));
    RECT before;
    GetWindowRect(tw.hwnd, &before);
    tw.Mark();

    Press(kTopMost);
    ASSERT_TRUE(WaitUntil([&] { return IsTopMost(tw.hwnd) != initially; }));
    Press(kTopMost);
    ASSERT_TRUE(WaitUntil([&] { return IsTopMost(tw.hwnd) == initially; }));

    RECT after;
    GetWindowRect(tw.hwnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(tw.hwnd, GetForegroundWindow());
    EXPECT_EQ("", tw.Since()) << "no size, show or system command";
}

INSTANTIATE_TEST_SUITE_P(From, TopMostTwice, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &i) {
                             return std::string(i.param ? "TopMost" : "Normal");
                         });

// --- No focus ---------------------------------------------------------------

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

TEST_F(ZarnE2E, NoFocusedWindowMeansNoAction)
{
    // A hidden trayed window whose restore, posted last, marks the end.
    LoggedWindow marker;
    ASSERT_TRUE(marker.Open("/title=marker"));
    TrayByHotkey(marker.hwnd);

    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ZarnActionsNoFocus";
    RegisterClassA(&wc);
    HWND own = CreateWindowA(wc.lpszClassName, "no focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                             200, 100, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(nullptr, own);
    ASSERT_TRUE(FocusWindow(own));
    SetFocus(NULL);
    ASSERT_EQ(nullptr, GetFocus());

    Press(kTopMost);
    Press(kTrayIn);
    Press(kMinimize);
    PostMessageA(zw, WM_COMMAND, IDM_WINDOW_BASE + kFirstTrayedId, 0);
    ASSERT_TRUE(WaitShown(marker.hwnd)) << "the marker restore was not handled";

    EXPECT_FALSE(IsTopMost(own));
    EXPECT_FALSE(IsIconic(own));
    EXPECT_TRUE(IsWindowVisible(own));
    EXPECT_EQ(0, ReportMinimized(own));
    EXPECT_FALSE(IsTopMost(marker.hwnd));
    DestroyWindow(own);
}

// --- Which combinations Zarn holds ------------------------------------------

// A combination another window holds cannot be registered a second time.
bool Taken(Keys k)
{
    if (!RegisterHotKey(NULL, 0x7000, k.mods, k.vk))
        return true;
    UnregisterHotKey(NULL, 0x7000);
    return false;
}

const Keys kDefaults[] = {kMinimize, kTrayIn, {MOD_ALT, VK_F9}, kTopMost};

TEST_F(ZarnE2E, HoldsTheFourDefaultCombinationsWithoutAnIniFile)
{
    for (Keys k : kDefaults)
        EXPECT_TRUE(Taken(k)) << k.mods << "+" << k.vk;
}

// Started as "zarn": no dot in the program name, so no INI file name and
// no hotkey at all, not even the defaults.
TEST(ZarnStart, ProgramNameWithoutDotRegistersNoHotkey)
{
    ASSERT_EQ(nullptr, FindZarnWindow());
    Process zarn;
    ASSERT_TRUE(zarn.Start("zarn", BinDir().c_str()));   // found beside this program
    ASSERT_NE(nullptr, WaitForProcessWindow(zarn.Pid(), "ZarnCLASS2"));
    ASSERT_TRUE(WaitStartUpDone());
    for (Keys k : kDefaults)
        EXPECT_FALSE(Taken(k)) << k.mods << "+" << k.vk;
    PostMessageA(FindProcessWindow(zarn.Pid(), "ZarnCLASS2"), WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, zarn.Wait());
}

// --- Wine's notification area -----------------------------------------------

// Wine's own tray window when no desktop tray is there to dock into.
HWND FindWineTray()
{
    const char *classes[] = {"__winex11_standalone_tray", "Shell_TrayWnd"};
    for (const char *c : classes) {
        HWND w = FindWindowA(c, NULL);
        if (w && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// Centre of the last occupied icon slot (icons are laid out left to right in
// the order added, each a small icon plus a border), found from the pixels;
// false until at least minIcons slots are drawn.
bool LastIconCentre(HWND tray, int minIcons, POINT *centre)
{
    RECT rc;
    GetClientRect(tray, &rc);
    int slot = GetSystemMetrics(SM_CXSMICON) + 4;
    POINT origin{0, 0};
    ClientToScreen(tray, &origin);
    HDC dc = GetDC(NULL);
    COLORREF background = GetPixel(dc, origin.x + rc.right - 2, origin.y + slot / 2);
    int last = -1, usedSlots = 0;
    for (int i = 0; (i + 1) * slot <= rc.right; i++) {
        bool used = false;
        for (int x = 2; x < slot - 2 && !used; x++)
            for (int y = 2; y < slot - 2 && !used; y++)
                used = GetPixel(dc, origin.x + i * slot + x, origin.y + y) != background;
        if (used) {
            last = i;
            usedSlots++;
        }
    }
    ReleaseDC(NULL, dc);
    if (usedSlots < minIcons)
        return false;
    centre->x = origin.x + last * slot + slot / 2;
    centre->y = origin.y + slot / 2;
    return true;
}

// Real mouse input: a move to p, then clicks of the left or right button.
void ClickAt(POINT p, bool right, int clicks)
{
    INPUT in[5] = {};
    for (INPUT &i : in)
        i.type = INPUT_MOUSE;
    in[0].mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in[0].mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    int n = 1;
    for (int c = 0; c < clicks && n + 1 < 5; c++) {
        in[n++].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
        in[n++].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    }
    SendInput(n, in, sizeof(INPUT));
}

// --- Trayed, shown, minimized again -----------------------------------------

enum Way { OWN_BUTTON, MINIMIZE_HOTKEY, MENU_COMMAND };

struct MinimizeWay {
    const char *label;
    Way way;
};

class MinimizeAgain : public ZarnE2E, public ::testing::WithParamInterface<MinimizeWay> {};

TEST_P(MinimizeAgain, HidesTheShownTrayedWindowAgain)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open());
    TrayByHotkey(tw.hwnd);
    Restore(kFirstTrayedId);
    ASSERT_TRUE(IsWindowVisible(tw.hwnd));
    switch (GetParam().way) {
    case OWN_BUTTON:
        PostMessageA(tw.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);   // what its minimize button sends
        break;
    case MINIMIZE_HOTKEY:
        ASSERT_TRUE(FocusWindow(tw.hwnd));
        Press(kMinimize);
        break;
    case MENU_COMMAND: {
        // A right-click on its icon shows the window's menu, which keeps the
        // window's id after it is closed; then the menu's "minimize".
        HWND tray = FindWineTray();
        POINT p;
        ASSERT_TRUE(tray && LastIconCentre(tray, 2, &p));
        ClickAt(p, true, 1);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (menu = FindWindowA("#32768", NULL)) && IsWindowVisible(menu); }))
            << "no popup menu";
        Press(Keys{0, VK_ESCAPE});
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
        SendMessageA(zw, WM_COMMAND, IDM_MINIMIZE, 0);
        break;
    }
    }
    EXPECT_TRUE(WaitHidden(tw.hwnd));
    EXPECT_TRUE(IsIconic(tw.hwnd));
    Restore(kFirstTrayedId);
    EXPECT_TRUE(IsWindowVisible(tw.hwnd)) << "still trayed under the same id";
}

INSTANTIATE_TEST_SUITE_P(Ways, MinimizeAgain,
                         ::testing::Values(MinimizeWay{"OwnButton", OWN_BUTTON},
                                           MinimizeWay{"MinimizeHotkey", MINIMIZE_HOTKEY},
                                           MinimizeWay{"MenuCommand", MENU_COMMAND}),
                         [](const ::testing::TestParamInfo<MinimizeWay> &i) { return std::string(i.param.label); });

// --- Hotkeys from the INI file ----------------------------------------------

class ChangedIni : public ZarnE2E {
protected:
    // TrayIn collides with Minimize and loses; TopMost moves; WinSelect is empty.
    std::string Ini() override
    {
        return "[KeyBind]\r\nMinimize=<Alt><F3>\r\nTrayIn=<alt><f3>\r\nTopMost=<Ctrl><Shift><F7>\r\n"
               "WinSelect=\r\n";
    }
};

TEST_F(ChangedIni, CollisionGoesToMinimizeAndDefaultsNoLongerWork)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open());
    ASSERT_TRUE(FocusWindow(tw.hwnd));
    Press(kTrayIn);    // its default: the key is present, so no default
    Press(kTopMost);   // its default: moved away
    Press(kMinimize);  // Minimize's, and wanted by TrayIn too
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(tw.hwnd) != 0; }));
    EXPECT_TRUE(Has(tw.Since(), "syscommand f020 -1")) << "Minimize, not TrayIn: " << tw.Since();
    EXPECT_TRUE(IsWindowVisible(tw.hwnd));
    EXPECT_EQ(0, ReportMinimized(tw.hwnd)) << "not trayed";
    EXPECT_FALSE(IsTopMost(tw.hwnd));
    EXPECT_FALSE(Taken(kTrayIn)) << "TrayIn's default is not registered when its key is present";
    EXPECT_FALSE(Taken(Keys{MOD_ALT, VK_F9})) << "WinSelect is empty";
}

TEST_F(ChangedIni, TheChangedHotkeyWorks)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open());
    ASSERT_TRUE(FocusWindow(tw.hwnd));
    Press(Keys{MOD_CONTROL | MOD_SHIFT, VK_F7});
    EXPECT_TRUE(WaitUntil([&] { return IsTopMost(tw.hwnd); }));
}

TEST_F(ZarnE2E, DoubleClickOnTheIconInWinesTrayBringsTheWindowBack)
{
    LoggedWindow tw;
    ASSERT_TRUE(tw.Open());
    TrayByHotkey(tw.hwnd);
    HWND tray = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (tray = FindWineTray()) != nullptr; })) << "no tray window";
    POINT p;
    ASSERT_TRUE(WaitUntil([&] { return LastIconCentre(tray, 2, &p); })) << "Zarn's and the window's icons not drawn";
    ClickAt(p, false, 2);
    ASSERT_TRUE(WaitShown(tw.hwnd));
    ExpectStaysShown(tw.hwnd);
    EXPECT_EQ(1, ReportMinimized(tw.hwnd)) << "the icon stays";
}

}  // namespace
