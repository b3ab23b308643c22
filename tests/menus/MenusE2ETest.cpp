// The menus of a real zarn.exe, driven from outside as a user would: the
// shell's right-click callback, the WinSelect hotkey, and key presses while
// the menu is open (another process's menus cannot be read here, so the
// proof is what happens to the windows).
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "Support.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

struct LoggedWindow {
    TestWindow tw;
    std::string copyDir;
    ~LoggedWindow()
    {
        tw.proc.Kill();
        if (!copyDir.empty())
            RemoveTree(copyDir);
        DeleteFileA(tw.log.c_str());
    }
    bool Open(const std::string &options) { return tw.Start(options, true); }
    // Started from a copy of testwin.exe under another program name.
    bool OpenAs(const std::string &exeName, const std::string &options)
    {
        copyDir = MakeTempDir("e2enames");
        std::string exe = copyDir + exeName;
        if (!CopyFileA(BinPath("testwin.exe").c_str(), exe.c_str(), FALSE))
            return false;
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        tw.log = std::string(base) + "menus-e2e-" + std::to_string(GetCurrentProcessId()) + ".log";
        DeleteFileA(tw.log.c_str());
        if (!tw.proc.Start("\"" + exe + "\" " + options + " \"/log=" + tw.log + "\""))
            return false;
        tw.hwnd = WaitForProcessWindow(tw.proc.Pid(), TESTWIN_CLASS);
        return tw.hwnd && WaitUntil([&] { return tw.Log().find("ready") != std::string::npos; });
    }
    int Restores() const
    {
        std::string text = tw.Log();
        int n = 0;
        for (size_t at = 0; (at = text.find("size 0", at)) != std::string::npos; at++)
            if (at + 6 == text.size() || text[at + 6] == '\r' || text[at + 6] == '\n')
                n++;
        return n;
    }
    bool WaitRestored(int before) const
    {
        return WaitUntil([&] { return Restores() > before; }, 15000);
    }
};

class MenusE2E : public ::testing::Test {
protected:
    ZarnSandbox zarn;
    HWND zw = nullptr;
    std::vector<std::unique_ptr<LoggedWindow>> windows;

    void SetUp() override
    {
        ASSERT_EQ(nullptr, FindZarnWindow()) << "another Zarn is running";
        ASSERT_TRUE(zarn.Start());
        zw = zarn.WaitWindow();
        ASSERT_NE(nullptr, zw);
    }
    void TearDown() override
    {
        if (zarn.proc.Running())
            zarn.Close();
        windows.clear();
    }
    LoggedWindow *Open(const std::string &options)
    {
        windows.push_back(std::make_unique<LoggedWindow>());
        return windows.back()->Open(options) ? windows.back().get() : nullptr;
    }
    HWND OpenMenu(DWORD timeoutMs = 10000)
    {
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = FindProcessWindow(zarn.proc.Pid(), "#32768", true)) != nullptr; },
                  timeoutMs);
        return menu;
    }
    bool MenuClosed()
    {
        return WaitUntil([&] { return FindProcessWindow(zarn.proc.Pid(), "#32768", true) == nullptr; });
    }
    // Trays the window the way the TrayIn hotkey does: focused, then id 1.
    bool TrayIn(HWND w)
    {
        // Another window (Wine's tray window, say) may take the focus back
        // for a moment: the hotkey goes out only once w holds it.
        bool focused = false;
        for (int attempt = 0; attempt < 5 && !focused; attempt++)
            focused = FocusWindow(w) && WaitUntil([&] { return GetForegroundWindow() == w; }, 500) &&
                      GetForegroundWindow() == w;
        if (!focused) {
            ADD_FAILURE() << "could not focus the window to tray";
            return false;
        }
        PostMessageA(zw, WM_HOTKEY, 1, 0);
        return WaitUntil([&] { return !IsWindowVisible(w); }, 15000);
    }
    void Keys(std::initializer_list<UINT> keys)
    {
        for (UINT vk : keys)
            PressKey(0, vk);
    }
};

TEST_F(MenusE2E, RightClickOnOwnIconOpensTheTrayMenuAndAnItemRestoresItsWindow)
{
    LoggedWindow *beta = Open("/title=Beta");
    LoggedWindow *alpha = Open("/title=Alpha");
    ASSERT_TRUE(beta && alpha);
    ASSERT_TRUE(TrayIn(beta->tw.hwnd));
    ASSERT_TRUE(TrayIn(alpha->tw.hwnd));
    int alphaBefore = alpha->Restores(), betaBefore = beta->Restores();

    SetCursorPos(500, 300);
    PostMessageA(zw, MSG_TRAY_MAIN, 1, WM_RBUTTONUP);
    HWND menu = OpenMenu();
    ASSERT_NE(nullptr, menu) << "no tray menu";
    RECT r;
    GetWindowRect(menu, &r);
    EXPECT_EQ(500, r.left);
    EXPECT_EQ(300, r.top);
    Keys({VK_DOWN, VK_RETURN});   // the first item: Alpha (same program, by title)
    EXPECT_TRUE(MenuClosed());
    EXPECT_TRUE(alpha->WaitRestored(alphaBefore));
    PumpFor(300);
    EXPECT_EQ(betaBefore, beta->Restores());
    EXPECT_TRUE(zarn.proc.Running());
}

TEST_F(MenusE2E, CloseItemEndsZarnAndRestoresEveryWindow)
{
    LoggedWindow *one = Open("/title=One");
    LoggedWindow *two = Open("/title=Two");
    ASSERT_TRUE(one && two);
    ASSERT_TRUE(TrayIn(one->tw.hwnd));
    ASSERT_TRUE(TrayIn(two->tw.hwnd));

    PostMessageA(zw, MSG_TRAY_MAIN, 1, WM_RBUTTONUP);
    ASSERT_NE(nullptr, OpenMenu());
    Keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});   // two windows, the separator skipped, close
    EXPECT_EQ(0u, zarn.proc.Wait(15000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(one->tw.hwnd) && IsWindowVisible(two->tw.hwnd); }));
}

TEST_F(MenusE2E, EmptyTrayMenuOffersOnlyClose)
{
    PostMessageA(zw, MSG_TRAY_MAIN, 1, WM_RBUTTONUP);
    ASSERT_NE(nullptr, OpenMenu());
    // "(none)" is grayed: the first Down lands on it, Enter does nothing.
    Keys({VK_DOWN, VK_RETURN});
    PumpFor(500);
    EXPECT_TRUE(zarn.proc.Running());
    Keys({VK_ESCAPE});
    EXPECT_TRUE(MenuClosed());
    EXPECT_TRUE(zarn.proc.Running());
}

TEST_F(MenusE2E, WinSelectOpensThePickerAtTheCursorAndRestoresTheChosenWindow)
{
    LoggedWindow *focus = Open("/title=Focus");
    // Other programs' windows are listed too (Wine's own tray window, say);
    // a program name that sorts before any other makes this one come first.
    windows.push_back(std::make_unique<LoggedWindow>());
    LoggedWindow *mini = windows.back().get();
    ASSERT_TRUE(mini->OpenAs("!first.exe", "/title=Alpha /min"));
    ASSERT_TRUE(focus && mini);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(mini->tw.hwnd) != 0; }));
    int before = mini->Restores();
    ASSERT_TRUE(FocusWindow(focus->tw.hwnd));

    SetCursorPos(240, 160);
    PostMessageA(zw, WM_HOTKEY, 3, 0);
    HWND menu = OpenMenu();
    ASSERT_NE(nullptr, menu) << "no picker";
    RECT r;
    GetWindowRect(menu, &r);
    EXPECT_EQ(240, r.left);
    EXPECT_EQ(160, r.top);
    Keys({VK_DOWN, VK_RETURN});
    EXPECT_TRUE(MenuClosed());
    EXPECT_TRUE(mini->WaitRestored(before));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(mini->tw.hwnd); }));
}

}  // namespace
