// RestoreWindow in Zarn's own process, on a test window in another process,
// from each of the three states a window can be restored from.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "InProcess.h"
#include "Support.h"
#include "Actions.h"
#include "Registry.h"
#include "ZarnMsg.h"

namespace {

enum StartState { HIDDEN_MINIMIZED, VISIBLE_MINIMIZED, VISIBLE_NORMAL };

struct RestoreCase {
    const char *label;
    StartState state;
};

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

class Restore : public ZarnInProcess, public ::testing::WithParamInterface<RestoreCase> {
protected:
    TestWindow tw;
    HWND other = nullptr;

    void SetUp() override
    {
        ZarnInProcess::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ZarnRestoreOther";
        RegisterClassA(&wc);
        other = CreateWindowA(wc.lpszClassName, "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300,
                              200, 100, NULL, NULL, wc.hInstance, NULL);
        ASSERT_NE(nullptr, other);
    }
    void TearDown() override
    {
        DestroyWindow(other);
        tw.proc.Kill();
        ZarnInProcess::TearDown();
    }
};

TEST_P(Restore, FromEachState)
{
    ASSERT_TRUE(tw.Start("", true));
    StartState state = GetParam().state;
    if (state != VISIBLE_NORMAL)
        ShowWindow(tw.hwnd, SW_MINIMIZE);
    if (state == HIDDEN_MINIMIZED)
        ShowWindow(tw.hwnd, SW_HIDE);
    ASSERT_TRUE(FocusWindow(other));
    size_t mark = tw.Log().size();

    RestoreWindow(tw.hwnd, 0);

    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == tw.hwnd; })) << "in the foreground";
    EXPECT_TRUE(IsWindowVisible(tw.hwnd));
    EXPECT_FALSE(IsIconic(tw.hwnd));
    std::string log = tw.Log().substr(mark);
    size_t shown = log.find("showwindow 1"), restored = log.find("size 0");
    switch (state) {
    case HIDDEN_MINIMIZED:   // shown minimized first, then restored
        ASSERT_NE(std::string::npos, shown) << log;
        ASSERT_NE(std::string::npos, restored) << log;
        EXPECT_LT(shown, restored) << log;
        EXPECT_EQ(std::string::npos, log.find("size 1")) << log;
        break;
    case VISIBLE_MINIMIZED:  // restored in place
        EXPECT_NE(std::string::npos, restored) << log;
        EXPECT_EQ(std::string::npos, shown) << log;
        break;
    case VISIBLE_NORMAL:     // only brought to the front
        EXPECT_EQ("", log);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(States, Restore,
                         ::testing::Values(RestoreCase{"HiddenMinimized", HIDDEN_MINIMIZED},
                                           RestoreCase{"VisibleMinimized", VISIBLE_MINIMIZED},
                                           RestoreCase{"VisibleNormal", VISIBLE_NORMAL}),
                         [](const ::testing::TestParamInfo<RestoreCase> &i) { return std::string(i.param.label); });

// Reports queued while a window is restored: its own are stale and dropped,
// those about other trayed windows are handled, not lost.
TEST_F(ZarnInProcess, RestoreDropsOnlyTheRestoredWindowsReports)
{
    TestWindow tw;
    ASSERT_TRUE(tw.Start());
    ShowWindow(tw.hwnd, SW_MINIMIZE);
    ShowWindow(tw.hwnd, SW_HIDE);
    HICON icon = LoadIcon(NULL, IDI_APPLICATION);
    ASSERT_NE(0, TrayAddIcon(NULL, tw.hwnd, icon, "restored"));
    HWND plain = CreateWindowA("STATIC", "plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100, 50,
                               NULL, NULL, NULL, NULL);
    ASSERT_NE(0, TrayAddIcon(NULL, plain, icon, "other"));
    PostMessageA(main, MSG_WINDOW_MINIMIZED, (WPARAM)tw.hwnd, 0);
    PostMessageA(main, MSG_WINDOW_MINIMIZED, (WPARAM)plain, 0);

    RestoreWindow(tw.hwnd, 0);

    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, main, MSG_WINDOW_MINIMIZED, MSG_WINDOW_MINIMIZED, PM_NOREMOVE));
    EXPECT_FALSE(IsWindowVisible(plain)) << "the other window's report was handled";
    EXPECT_TRUE(IsWindowVisible(tw.hwnd));
    EXPECT_TRUE(TrayFindId(tw.hwnd) && TrayFindId(plain)) << "both stay trayed";
    TrayRemoveWindow(plain);
    DestroyWindow(plain);
    tw.proc.Kill();
}

}  // namespace
