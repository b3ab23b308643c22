// The hook road end to end: a window of another program, registered through
// TrayAddIcon, reported on by ZarnDLL inside that program, handled by
// Zarn's real window procedure.
#include <gtest/gtest.h>
#include <windows.h>
#include "InProcess.h"
#include "Main.h"
#include "Registry.h"
#include "Support.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

class HookRoad : public ZarnInProcess {
protected:
    TestWindow tw;
    int id = 0;
    void SetUp() override
    {
        ZarnInProcess::SetUp();
        ASSERT_TRUE(tw.Start());
        id = TrayAddIcon(NULL, tw.hwnd, GetWindowSmallIcon(tw.hwnd), "test window");
        ASSERT_EQ(2, id);
        g_notify.Clear();
    }
    void TearDown() override
    {
        tw.proc.Kill();
        ZarnInProcess::TearDown();
    }
};

TEST_F(HookRoad, MinimizingHidesTheWindow)
{
    ShowWindow(tw.hwnd, SW_MINIMIZE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(tw.hwnd); }));
    EXPECT_EQ(id, TrayFindId(tw.hwnd));
    // Shown again by a double-click, minimized again: straight back to hidden.
    SendMessageA(main, MSG_TRAY_WINDOW, id, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(tw.hwnd) && !IsIconic(tw.hwnd); }));
    ShowWindow(tw.hwnd, SW_MINIMIZE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(tw.hwnd); }));
}

TEST_F(HookRoad, TitleChangeUpdatesTheTooltip)
{
    SendMessageA(tw.hwnd, TW_SETTITLE, 42, 0);
    ASSERT_TRUE(WaitUntil([&] { return !g_notify.Of(NIM_MODIFY).empty(); }));
    auto mods = g_notify.Of(NIM_MODIFY);
    EXPECT_EQ((UINT)id, mods[0].data.uID);
    EXPECT_EQ((UINT)NIF_TIP, mods[0].data.uFlags);
    EXPECT_EQ("Zarn Test Window 42", mods[0].tip());
}

TEST_F(HookRoad, NewSmallIconUpdatesTheIcon)
{
    SendMessageA(tw.hwnd, TW_SETICON, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !g_notify.Of(NIM_MODIFY).empty(); }));
    auto mods = g_notify.Of(NIM_MODIFY);
    EXPECT_EQ((UINT)id, mods[0].data.uID);
    EXPECT_EQ((UINT)NIF_ICON, mods[0].data.uFlags);
    EXPECT_NE(nullptr, mods[0].data.hIcon);
}

TEST_F(HookRoad, DestructionDropsTheRecordAndIcon)
{
    PostMessageA(tw.hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return TrayFindId(tw.hwnd) == 0; }));
    auto del = g_notify.Of(NIM_DELETE);
    ASSERT_EQ(1u, del.size());
    EXPECT_EQ((UINT)id, del[0].data.uID);
    EXPECT_EQ(1, g_tray.count);
}

}  // namespace
