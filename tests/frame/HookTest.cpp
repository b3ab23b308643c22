// ZarnDLL across processes: a test-window program in another process,
// hooked through StartHook, reports to a window of this test.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "Support.h"
#include "ZarnMsg.h"
#include "testwin.h"
#include "ZarnDLL/ZarnDLL.h"

namespace {

struct Report {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    ULONG_PTR kind;
    std::string text;
};

std::vector<Report> g_reports;
LRESULT g_managedAnswer = 1;

LRESULT CALLBACK ReportProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case MSG_ICON_CHANGED:
    case MSG_WINDOW_DESTROYED:
    case MSG_WINDOW_MINIMIZED:
        g_reports.push_back({m, w, l, 0, ""});
        return 0;
    case MSG_IS_MANAGED:
        g_reports.push_back({m, w, l, 0, ""});
        return g_managedAnswer;
    case WM_COPYDATA: {
        auto cds = (const COPYDATASTRUCT *)l;
        g_reports.push_back({m, w, 0, cds->dwData,
                             std::string((const char *)cds->lpData, cds->cbData)});
        return 1;
    }
    }
    return DefWindowProcA(h, m, w, l);
}

class Hook : public ::testing::Test {
protected:
    static HMODULE dll;
    static StartHookProc startHook;
    static EndHookProc endHook;
    static HOOKPROC getMsgProc;
    HWND reports = nullptr;
    TestWindow tw;
    std::vector<HGLOBAL> hooks;

    static void SetUpTestSuite()
    {
        dll = LoadLibraryA(BinPath("ZarnDLL.DLL").c_str());
        startHook = (StartHookProc)(void *)GetProcAddress(dll, "StartHook");
        endHook = (EndHookProc)(void *)GetProcAddress(dll, "EndHook");
        getMsgProc = (HOOKPROC)(void *)GetProcAddress(dll, "GetMsgProc");
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReportProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ZarnHookReports";
        RegisterClassA(&wc);
    }
    void SetUp() override
    {
        ASSERT_TRUE(startHook && endHook && getMsgProc);
        g_reports.clear();
        g_managedAnswer = 1;
        reports = CreateWindowA("ZarnHookReports", "", 0, 0, 0, 0, 0, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(tw.Start("/child /owned"));
    }
    void TearDown() override
    {
        for (HGLOBAL h : hooks)
            endHook(h);
        tw.proc.Kill();
        DestroyWindow(reports);
    }
    DWORD Thread() { return GetWindowThreadProcessId(tw.hwnd, NULL); }
    void HookIt()
    {
        HGLOBAL h = startHook(Thread(), reports);
        ASSERT_NE(nullptr, h);
        hooks.push_back(h);
    }
    // Settles: sends a harmless message through the hooked thread and pumps.
    void Settle()
    {
        DWORD_PTR r;
        SendMessageTimeoutA(tw.hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &r);
        PumpFor(150);
    }
    std::vector<Report> Of(UINT msg, HWND w = nullptr)
    {
        std::vector<Report> out;
        for (auto &r : g_reports)
            if (r.msg == msg && (!w || (HWND)r.wParam == w))
                out.push_back(r);
        return out;
    }
    int Count(UINT msg, HWND w = nullptr) { return (int)Of(msg, w).size(); }
};
HMODULE Hook::dll;
StartHookProc Hook::startHook;
EndHookProc Hook::endHook;
HOOKPROC Hook::getMsgProc;

// Declared first: in a fresh process nobody has set the shared target yet.
TEST_F(Hook, GetMsgProcPassesEverythingOnWhileTargetIsNull)
{
    HHOOK gm = SetWindowsHookExA(WH_GETMESSAGE, getMsgProc, dll, Thread());
    ASSERT_NE(nullptr, gm);
    PostMessageA(tw.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(tw.proc.Wait(5000) != STILL_ACTIVE) << "SC_CLOSE must reach the window unchanged";
    EXPECT_EQ(0, Count(MSG_IS_MANAGED));
    UnhookWindowsHookEx(gm);
}

TEST_F(Hook, ReportsNewSmallIconOnly)
{
    HookIt();
    SendMessageA(tw.hwnd, TW_SETICON, 2, 0);   // big: no report
    Settle();
    EXPECT_EQ(0, Count(MSG_ICON_CHANGED));
    SendMessageA(tw.hwnd, TW_SETICON, 0, 0);   // small
    Settle();
    auto r = Of(MSG_ICON_CHANGED);
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(tw.hwnd, (HWND)r[0].wParam);
    EXPECT_NE(0, r[0].lParam);
    SendMessageA(tw.hwnd, TW_SETICON, 1, 0);   // small, null icon: still reported
    Settle();
    r = Of(MSG_ICON_CHANGED);
    ASSERT_EQ(2u, r.size());
    EXPECT_EQ(0, r[1].lParam);
}

TEST_F(Hook, ReportsNonEmptyTopLevelTitlesOnly)
{
    HookIt();
    SendMessageA(tw.hwnd, TW_SETTITLE, 7, 0);
    SendMessageA(tw.hwnd, TW_SETTITLE, 0, 0);      // empty title
    SendMessageA(tw.hwnd, TW_CHILDTITLE, 1, 0);    // child window
    SendMessageA(tw.hwnd, TW_CHILDTITLE, 2, 1);    // owned pop-up
    Settle();
    auto r = Of(WM_COPYDATA);
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(tw.hwnd, (HWND)r[0].wParam);
    EXPECT_EQ((ULONG_PTR)COPYDATA_TITLE, r[0].kind);
    EXPECT_EQ(std::string("Zarn Test Window 7") + '\0', r[0].text);
}

struct MinCase {
    const char *name;
    UINT msg;
    WPARAM wParam;
    int reports;
};

class HookMinimize : public Hook, public ::testing::WithParamInterface<MinCase> {};

TEST_P(HookMinimize, ReportsMinimizationByEachMessage)
{
    HookIt();
    SendMessageA(tw.hwnd, TW_SYSRESULT, 1, 0);   // SC_MINIMIZE is swallowed: one report only
    Settle();
    SendMessageA(tw.hwnd, GetParam().msg, GetParam().wParam, 0);
    Settle();
    EXPECT_EQ(GetParam().reports, Count(MSG_WINDOW_MINIMIZED, tw.hwnd));
}

INSTANTIATE_TEST_SUITE_P(Messages, HookMinimize, ::testing::Values(
    MinCase{"SizeMinimized", WM_SIZE, SIZE_MINIMIZED, 1},
    MinCase{"SizeMaximized", WM_SIZE, SIZE_MAXIMIZED, 0},
    MinCase{"SizeRestored", WM_SIZE, SIZE_RESTORED, 0},
    MinCase{"ScMinimize", WM_SYSCOMMAND, SC_MINIMIZE, 1},
    MinCase{"ActivateMinimized", WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 1},
    MinCase{"DeactivateMinimized", WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 1},
    MinCase{"ActivateNormal", WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0}),
    [](const ::testing::TestParamInfo<MinCase> &i) { return std::string(i.param.name); });

TEST_F(Hook, RealMinimizeIsReported)
{
    HookIt();
    ShowWindow(tw.hwnd, SW_MINIMIZE);
    EXPECT_TRUE(WaitUntil([&] { return Count(MSG_WINDOW_MINIMIZED, tw.hwnd) > 0; }, 5000));
}

TEST_F(Hook, ReportsDestruction)
{
    HookIt();
    PostMessageA(tw.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Count(MSG_WINDOW_DESTROYED, tw.hwnd) == 1; }, 5000));
    EXPECT_EQ(0, Of(MSG_WINDOW_DESTROYED, tw.hwnd)[0].lParam);
}

TEST_F(Hook, TwoHooksOnOneThreadReportTwice)
{
    HookIt();
    HookIt();
    SendMessageA(tw.hwnd, TW_SETICON, 0, 0);
    SendMessageA(tw.hwnd, TW_SETTITLE, 3, 0);
    Settle();
    EXPECT_EQ(2, Count(MSG_ICON_CHANGED));
    EXPECT_EQ(2, Count(WM_COPYDATA));
}

TEST_F(Hook, EndHookReturnsNullAndReportingStops)
{
    HGLOBAL h = startHook(Thread(), reports);
    ASSERT_NE(nullptr, h);
    SendMessageA(tw.hwnd, TW_SETICON, 0, 0);
    Settle();
    EXPECT_EQ(1, Count(MSG_ICON_CHANGED));
    EXPECT_EQ(nullptr, endHook(h));
    SendMessageA(tw.hwnd, TW_SETICON, 0, 0);
    SendMessageA(tw.hwnd, TW_SETTITLE, 4, 0);
    Settle();
    EXPECT_EQ(1, Count(MSG_ICON_CHANGED));
    EXPECT_EQ(0, Count(WM_COPYDATA));
}

TEST_F(Hook, GetMsgProcTurnsCloseIntoMinimizeForManagedWindows)
{
    HookIt();   // sets the shared target to our report window
    HHOOK gm = SetWindowsHookExA(WH_GETMESSAGE, getMsgProc, dll, Thread());
    ASSERT_NE(nullptr, gm);

    PostMessageA(tw.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(tw.hwnd); }, 5000));
    EXPECT_TRUE(tw.proc.Running());
    auto asked = Of(MSG_IS_MANAGED);
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ(tw.hwnd, (HWND)asked[0].wParam);
    EXPECT_GE(Count(MSG_WINDOW_MINIMIZED, tw.hwnd), 1);

    // Other system commands pass untouched and ask nothing.
    PostMessageA(tw.hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    Settle();
    EXPECT_EQ(1, Count(MSG_IS_MANAGED));

    // An unmanaged answer lets the close through.
    g_managedAnswer = 0;
    PostMessageA(tw.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_NE((DWORD)STILL_ACTIVE, tw.proc.Wait(5000));
    EXPECT_EQ(2, Count(MSG_IS_MANAGED));
    UnhookWindowsHookEx(gm);
}

}  // namespace
