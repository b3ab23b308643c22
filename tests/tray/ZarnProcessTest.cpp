// The real zarn.exe against messages from another process.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "Support.h"
#include "ZarnMsg.h"

namespace {

bool Answers(HWND zarn)
{
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(zarn, MSG_IS_MANAGED, 0, 0, SMTO_ABORTIFHUNG, 5000, &r) && r == 1;
}

TEST(ZarnProcess, MalformedCopyDataLeavesZarnRunningAndUnchanged)
{
    ZarnSandbox z;
    ASSERT_TRUE(z.Start());
    HWND w = z.WaitWindow();
    ASSERT_NE(nullptr, w);
    TestWindow tw;
    ASSERT_TRUE(tw.Start());

    const char noZero[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    struct { ULONG_PTR kind; const void *data; DWORD size; WPARAM wParam; } cases[] = {
        {COPYDATA_TITLE, noZero, sizeof noZero, (WPARAM)tw.hwnd},
        {COPYDATA_TITLE, nullptr, 0, (WPARAM)tw.hwnd},
        {COPYDATA_TITLE, noZero, 0, 0},
        {COPYDATA_LAUNCH, nullptr, 0, 0},
        {COPYDATA_LAUNCH, "", 1, 0},
        {COPYDATA_OPEN, noZero, sizeof noZero, 0},
        {77, noZero, sizeof noZero, 0},
    };
    for (auto &c : cases) {
        COPYDATASTRUCT cds{c.kind, c.size, const_cast<void *>(c.data)};
        DWORD_PTR r;
        SendMessageTimeoutA(w, WM_COPYDATA, c.wParam, (LPARAM)&cds, SMTO_ABORTIFHUNG, 40000, &r);
        ASSERT_TRUE(z.proc.Running());
        ASSERT_TRUE(Answers(w));
    }
    // Nothing was trayed by any of it.
    EXPECT_EQ(0, SendMessageA(w, MSG_WINDOW_MINIMIZED, (WPARAM)tw.hwnd, 0));
    EXPECT_TRUE(IsWindowVisible(tw.hwnd));
    EXPECT_EQ(0u, z.Close());
}

TEST(ZarnProcess, HarmlessCommandsKeepItRunning)
{
    ZarnSandbox z;
    ASSERT_TRUE(z.Start());
    HWND w = z.WaitWindow();
    ASSERT_NE(nullptr, w);
    for (WPARAM cmd : {(WPARAM)IDM_WINDOW_BASE, (WPARAM)IDM_WINDOW_BASE + 7, (WPARAM)IDM_PICKER_BASE + 3,
                       (WPARAM)IDM_RESTORE, (WPARAM)IDM_UNTRAY, (WPARAM)IDM_MINIMIZE, (WPARAM)IDM_TOPMOST,
                       (WPARAM)IDM_CLOSE_WINDOW})
        SendMessageA(w, WM_COMMAND, cmd, 0);
    SendMessageA(w, MSG_WINDOW_DESTROYED, (WPARAM)w + 4, 0);
    SendMessageA(w, MSG_ICON_CHANGED, 0, 0);
    PostMessageA(w, MSG_START_COMMAND, START_LAUNCH, 0x4000);   // forged: not Zarn's block
    PumpFor(200);
    EXPECT_TRUE(z.proc.Running());
    EXPECT_TRUE(Answers(w));
    EXPECT_EQ(0u, z.Close());
}

}  // namespace
