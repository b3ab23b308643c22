// One Zarn at a time: the mutex, the hand-over by WM_COPYDATA, exit codes.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "Support.h"
#include "ZarnMsg.h"

namespace {

// A window of the test's own under Zarn's class name, standing in for a
// running Zarn so that the hand-over can be watched.
struct FakeZarn {
    struct Received {
        ULONG_PTR kind;
        DWORD cbData;
        std::string bytes;
        bool senderAlive;   // the second start was still waiting in SendMessage
    };
    static std::vector<Received> received;
    static HANDLE sender;
    HWND hwnd = nullptr;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_COPYDATA) {
            auto cds = (const COPYDATASTRUCT *)l;
            Received r{cds->dwData, cds->cbData,
                       std::string((const char *)cds->lpData, cds->cbData),
                       sender && WaitForSingleObject(sender, 0) == WAIT_TIMEOUT};
            received.push_back(r);
            return 1;
        }
        return DefWindowProcA(h, m, w, l);
    }
    FakeZarn()
    {
        received.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = ZARN_CLASS_NAME;
        RegisterClassA(&wc);
        hwnd = CreateWindowA(ZARN_CLASS_NAME, "fake", 0, 0, 0, 0, 0, NULL, NULL, wc.hInstance, NULL);
    }
    ~FakeZarn()
    {
        DestroyWindow(hwnd);
        UnregisterClassA(ZARN_CLASS_NAME, GetModuleHandleA(NULL));
        sender = nullptr;
    }
};
std::vector<FakeZarn::Received> FakeZarn::received;
HANDLE FakeZarn::sender;

struct HandOverCase {
    const char *name;
    const char *args;
    int kind;               // 0: nothing may arrive
    const char *text;
};

class HandOver : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(HandOver, SecondStartSendsItsCommandAndExits)
{
    const HandOverCase &c = GetParam();
    FakeZarn fake;
    ASSERT_NE(nullptr, fake.hwnd);
    ZarnSandbox z;
    ASSERT_TRUE(z.Start(c.args));
    FakeZarn::sender = z.proc.pi.hProcess;
    EXPECT_EQ(0u, z.proc.Wait(15000));
    PumpFor(100);
    if (!c.kind) {
        EXPECT_TRUE(FakeZarn::received.empty());
        return;
    }
    ASSERT_EQ(1u, FakeZarn::received.size());
    const auto &r = FakeZarn::received[0];
    EXPECT_EQ((ULONG_PTR)c.kind, r.kind);
    EXPECT_EQ(strlen(c.text) + 1, r.cbData);         // the zero byte travels too
    EXPECT_EQ(std::string(c.text) + '\0', r.bytes);
    EXPECT_TRUE(r.senderAlive) << "the second start must wait for the handling";
}

INSTANTIATE_TEST_SUITE_P(Table, HandOver, ::testing::Values(
    HandOverCase{"Launch", "/J notepad.exe", 1, "notepad.exe"},
    HandOverCase{"LaunchQuoted", "/J \"\\\"C:\\Program Files\\x.exe\\\" -a b\"", 1,
                 "\"C:\\Program Files\\x.exe\" -a b"},
    HandOverCase{"LaunchOnlyArgument2", "/J cmd.exe further words", 1, "cmd.exe"},
    HandOverCase{"OptionPrefix", "/Jxyz winefile", 1, "winefile"},
    HandOverCase{"Open", "/O readme.txt", 2, "readme.txt"},
    HandOverCase{"NoArguments", "", 0, ""},
    HandOverCase{"OptionWithoutCommand", "/J", 0, ""},
    HandOverCase{"LowerCase", "/j notepad.exe", 0, ""},
    HandOverCase{"Unknown", "/X notepad.exe", 0, ""}),
    [](const ::testing::TestParamInfo<HandOverCase> &i) { return std::string(i.param.name); });

TEST(Instance, TwoStartedTogetherGiveOneWindow)
{
    ZarnSandbox a, b;
    ASSERT_TRUE(a.Start());
    ASSERT_TRUE(b.Start());
    // One of them finds the other's window and leaves with 0.
    ASSERT_TRUE(WaitUntil([&] { return !a.proc.Running() || !b.proc.Running(); }, 15000));
    ZarnSandbox &gone = a.proc.Running() ? b : a;
    ZarnSandbox &stays = a.proc.Running() ? a : b;
    EXPECT_EQ(0u, gone.proc.Wait());
    HWND w = stays.WaitWindow();
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(w, FindWindowA(ZARN_CLASS_NAME, NULL));
    EXPECT_EQ(nullptr, FindWindowExA(NULL, w, ZARN_CLASS_NAME, NULL));
    char title[16] = "";
    GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ("Zarn", title);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(0u, stays.Close());
}

struct CloseCase {
    const char *name;
    UINT msg;
    WPARAM wParam;
};

class Closing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(Closing, EndsZarnWithZero)
{
    ZarnSandbox z;
    ASSERT_TRUE(z.Start());
    HWND w = z.WaitWindow();
    ASSERT_NE(nullptr, w);
    PostMessageA(w, GetParam().msg, GetParam().wParam, 0);
    EXPECT_EQ(0u, z.proc.Wait());
    EXPECT_FALSE(IsWindow(w));
}

INSTANTIATE_TEST_SUITE_P(Ways, Closing, ::testing::Values(
    CloseCase{"WmClose", WM_CLOSE, 0},
    CloseCase{"ScClose", WM_SYSCOMMAND, SC_CLOSE},
    CloseCase{"Command40001", WM_COMMAND, IDM_CLOSE_ZARN}),
    [](const ::testing::TestParamInfo<CloseCase> &i) { return std::string(i.param.name); });

TEST(Instance, WithoutHookLibraryExitsZeroAndFreesTheMutex)
{
    ZarnSandbox z;
    ASSERT_TRUE(z.Start("", /*withDll=*/false));
    EXPECT_EQ(0u, z.proc.Wait());
    EXPECT_EQ(nullptr, FindWindowA(ZARN_CLASS_NAME, NULL));
    HANDLE m = CreateMutexA(NULL, FALSE, ZARN_MUTEX_NAME);
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m, 0));
    ReleaseMutex(m);
    CloseHandle(m);
}

TEST(Instance, FirstStartWithLongCommandRunsNormally)
{
    // The start-up copy of the command is sized to it, however long.
    ZarnSandbox z;
    std::string cmd(5000, 'x');
    ASSERT_TRUE(z.Start("/O " + cmd));
    ASSERT_NE(nullptr, z.WaitWindow());
    PumpFor(300);
    EXPECT_TRUE(z.proc.Running());
    EXPECT_EQ(0u, z.Close());
}

}  // namespace
