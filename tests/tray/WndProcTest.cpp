// Zarn's window procedure, row by row, on Zarn's real main window in-process.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "InProcess.h"
#include "Main.h"
#include "Registry.h"
#include "Support.h"
#include "TrayTestUtil.h"
#include "ZarnMsg.h"

namespace {

class WndProc : public ZarnInProcess {
protected:
    std::vector<HWND> own;
    HWND Tray(const std::string &title, int *id = nullptr)
    {
        HWND w = MakeWindow(title, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        own.push_back(w);
        int got = TrayAddIcon(NULL, w, GetWindowSmallIcon(w), title.c_str());
        if (id)
            *id = got;
        return w;
    }
    LRESULT CopyData(ULONG_PTR kind, const void *data, DWORD size, WPARAM wParam = 0)
    {
        COPYDATASTRUCT cds{kind, size, const_cast<void *>(data)};
        return SendMessageA(main, WM_COPYDATA, wParam, (LPARAM)&cds);
    }
    void TearDown() override
    {
        ZarnInProcess::TearDown();
        for (HWND w : own)
            DestroyWindow(w);
    }
};

TEST_F(WndProc, MinimizedReportHidesOnlyRegisteredWindows)
{
    HWND trayed = Tray("trayed");
    HWND stranger = MakeWindow("stranger", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    own.push_back(stranger);
    EXPECT_EQ(1, SendMessageA(main, MSG_WINDOW_MINIMIZED, (WPARAM)trayed, 0));
    EXPECT_FALSE(IsWindowVisible(trayed));
    EXPECT_EQ(0, SendMessageA(main, MSG_WINDOW_MINIMIZED, (WPARAM)stranger, 0));
    EXPECT_TRUE(IsWindowVisible(stranger));
}

TEST_F(WndProc, IsManagedAnswersOne)
{
    EXPECT_EQ(1, SendMessageA(main, MSG_IS_MANAGED, 0, 0));
    EXPECT_EQ(1, SendMessageA(main, MSG_IS_MANAGED, (WPARAM)main, 0));
}

TEST_F(WndProc, ReportsUpdateIconAndTipAndDestructionDropsTheRecord)
{
    int id = 0;
    HWND w = Tray("w", &id);
    g_notify.Clear();
    HICON icon = LoadIconA(NULL, (LPCSTR)IDI_WARNING);
    EXPECT_EQ(0, SendMessageA(main, MSG_ICON_CHANGED, (WPARAM)w, (LPARAM)icon));
    const char title[] = "a new title";
    CopyData(COPYDATA_TITLE, title, sizeof title, (WPARAM)w);
    ASSERT_EQ(2u, g_notify.calls.size());
    EXPECT_EQ((UINT)NIF_ICON, g_notify.calls[0].data.uFlags);
    EXPECT_EQ(icon, g_notify.calls[0].data.hIcon);
    EXPECT_EQ((UINT)NIF_TIP, g_notify.calls[1].data.uFlags);
    EXPECT_EQ("a new title", g_notify.calls[1].tip());

    SendMessageA(main, MSG_WINDOW_DESTROYED, (WPARAM)w, 0);
    EXPECT_EQ(0, TrayFindId(w));
    ASSERT_EQ(1u, g_notify.Of(NIM_DELETE).size());
    EXPECT_EQ((UINT)id, g_notify.Of(NIM_DELETE)[0].data.uID);
}

struct CopyCase {
    const char *name;
    ULONG_PTR kind;
    const char *data;   // null: lpData null
    DWORD size;
    bool tipSent;
    const char *tip;
};

class WndProcCopyData : public WndProc, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(WndProcCopyData, UntrustedTextIsBoundedByItsSize)
{
    const CopyCase &c = GetParam();
    HWND w = Tray("w");
    g_notify.Clear();
    CopyData(c.kind, c.data, c.size, (WPARAM)w);
    auto mods = g_notify.Of(NIM_MODIFY);
    ASSERT_EQ(c.tipSent ? 1u : 0u, mods.size());
    if (c.tipSent) {
        EXPECT_EQ(c.tip, mods[0].tip());
    }
    EXPECT_EQ(1, SendMessageA(main, MSG_IS_MANAGED, 0, 0));   // still answering
}

INSTANTIATE_TEST_SUITE_P(Kinds, WndProcCopyData, ::testing::Values(
    CopyCase{"Title", COPYDATA_TITLE, "hello", 6, true, "hello"},
    CopyCase{"TitleWithoutZeroByte", COPYDATA_TITLE, "abcdefgh", 3, true, "abc"},
    CopyCase{"TitleSizeZero", COPYDATA_TITLE, "abc", 0, true, ""},
    CopyCase{"TitleNullData", COPYDATA_TITLE, nullptr, 40, true, ""},
    CopyCase{"TitleLongerThanTip",
             COPYDATA_TITLE, "0123456789012345678901234567890123456789012345678901234567890123456789", 71, true,
             "012345678901234567890123456789012345678901234567890123456789012"},
    CopyCase{"OpenDoesNothing", COPYDATA_OPEN, "x", 2, false, ""},
    CopyCase{"UnknownKindDoesNothing", 99, "x", 2, false, ""},
    CopyCase{"LaunchWithNullData", COPYDATA_LAUNCH, nullptr, 0, false, ""}),
    [](const ::testing::TestParamInfo<CopyCase> &i) { return std::string(i.param.name); });

TEST_F(WndProc, DoubleClickRestoresAndKeepsTheIcon)
{
    int id = 0;
    HWND w = Tray("w", &id);
    ShowWindow(w, SW_HIDE);
    EXPECT_EQ(0, SendMessageA(main, MSG_TRAY_WINDOW, id, WM_LBUTTONDBLCLK));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(id, TrayFindId(w));
    // Other mouse messages on either icon do nothing.
    ShowWindow(w, SW_HIDE);
    for (LPARAM m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN})
        SendMessageA(main, MSG_TRAY_WINDOW, id, m);
    for (LPARAM m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK})
        SendMessageA(main, MSG_TRAY_MAIN, 1, m);
    EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(WndProc, WindowCommandsRestoreByIdAndOthersDoNothing)
{
    int id = 0;
    HWND w = Tray("w", &id);
    ShowWindow(w, SW_HIDE);
    int count = g_tray.count;
    for (WPARAM cmd : {(WPARAM)IDM_WINDOW_BASE, (WPARAM)IDM_WINDOW_BASE + 200, (WPARAM)IDM_PICKER_BASE + 5})
        SendMessageA(main, WM_COMMAND, cmd, 0);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(count, g_tray.count);
    // System commands other than SC_CLOSE fall into the picker range and find
    // nobody. (SC_KEYMENU is left out: its default handling tracks a menu.)
    for (WPARAM sc : {(WPARAM)SC_RESTORE, (WPARAM)SC_NEXTWINDOW, (WPARAM)SC_HOTKEY})
        SendMessageA(main, WM_SYSCOMMAND, sc, 0);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(count, g_tray.count);
    EXPECT_TRUE(IsWindow(main));

    SendMessageA(main, WM_COMMAND, IDM_WINDOW_BASE + id, 0);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(id, TrayFindId(w));
}

TEST_F(WndProc, ForgedStartCommandIsIgnored)
{
    // Anyone can post this number; only Zarn's own block may be used and freed.
    char stack[] = "not a heap block";
    SendMessageA(main, MSG_START_COMMAND, 1, (LPARAM)stack);
    SendMessageA(main, MSG_START_COMMAND, 1, 0x1234);
    EXPECT_STREQ("not a heap block", stack);
    EXPECT_EQ(1, SendMessageA(main, MSG_IS_MANAGED, 0, 0));
}

TEST_F(WndProc, OwnerDrawnMessagesSplitByControlType)
{
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bmp = CreateCompatibleBitmap(GetDC(NULL), 200, 40);
    HGDIOBJ old = SelectObject(dc, bmp);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.hDC = dc;
    dis.rcItem = {0, 0, 200, 18};
    dis.itemData = 200;   // no such window: drawn as a vanished one
    EXPECT_EQ(1, SendMessageA(main, WM_DRAWITEM, 0, (LPARAM)&dis));
    dis.CtlType = ODT_BUTTON;
    EXPECT_EQ(DefWindowProcA(main, WM_DRAWITEM, 0, (LPARAM)&dis),
              SendMessageA(main, WM_DRAWITEM, 0, (LPARAM)&dis));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);

    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_LISTBOX;
    EXPECT_EQ(DefWindowProcA(main, WM_MEASUREITEM, 0, (LPARAM)&mis),
              SendMessageA(main, WM_MEASUREITEM, 0, (LPARAM)&mis));
}

struct CloseCase {
    const char *name;
    UINT msg;
    WPARAM wParam;
};

class WndProcClose : public WndProc, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(WndProcClose, RestoresEveryTrayedWindowAndDestroysZarn)
{
    std::vector<HWND> ws;
    for (int i = 0; i < 3; i++) {
        HWND w = Tray("w" + std::to_string(i));
        ShowWindow(w, SW_HIDE);
        ws.push_back(w);
    }
    g_notify.Clear();
    EXPECT_EQ(0, SendMessageA(main, GetParam().msg, GetParam().wParam, 0));
    EXPECT_FALSE(IsWindow(main));
    for (HWND w : ws)
        EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(0, g_tray.count);
    EXPECT_EQ(4u, g_notify.Of(NIM_DELETE).size());   // no icon left behind, none deleted twice
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

INSTANTIATE_TEST_SUITE_P(Ways, WndProcClose, ::testing::Values(
    CloseCase{"WmClose", WM_CLOSE, 0},
    CloseCase{"ScClose", WM_SYSCOMMAND, SC_CLOSE},
    CloseCase{"Command40001", WM_COMMAND, IDM_CLOSE_ZARN}),
    [](const ::testing::TestParamInfo<CloseCase> &i) { return std::string(i.param.name); });

}  // namespace
