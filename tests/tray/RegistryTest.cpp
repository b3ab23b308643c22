// The tray registry and the notification requests it sends, field by field.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <thread>
#include <vector>
#include "InProcess.h"
#include "Main.h"
#include "Registry.h"
#include "Support.h"
#include "TrayTestUtil.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

class Registry : public ZarnInProcess {
protected:
    std::vector<HWND> own;
    HWND Add(const std::string &title, int *id = nullptr)
    {
        HWND w = MakeWindow(title);
        own.push_back(w);
        int got = TrayAddIcon(NULL, w, GetWindowSmallIcon(w), title.c_str());
        if (id)
            *id = got;
        return w;
    }
    TrayEntry *Entry(HWND w)
    {
        for (TrayEntry *e = g_tray.head; e; e = e->next)
            if (e->window == w)
                return e;
        return nullptr;
    }
    std::vector<int> Ids()
    {
        std::vector<int> ids;
        for (TrayEntry *e = g_tray.head; e; e = e->next)
            ids.push_back(e->id);
        return ids;
    }
    void TearDown() override
    {
        ZarnInProcess::TearDown();
        for (HWND w : own)
            DestroyWindow(w);
    }
};

TEST_F(Registry, FirstIconIsZarnsOwn)
{
    ASSERT_EQ(1u, g_notify.calls.size());
    const NotifyCall &c = g_notify.calls[0];
    EXPECT_EQ((DWORD)NIM_ADD, c.message);
    EXPECT_EQ((DWORD)NOTIFYICONDATAA_V1_SIZE, c.cbSize);
    EXPECT_EQ(main, c.data.hWnd);
    EXPECT_EQ(1u, c.data.uID);
    EXPECT_EQ((UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP), c.data.uFlags);
    EXPECT_EQ((UINT)MSG_TRAY_MAIN, c.data.uCallbackMessage);
    EXPECT_EQ(GetSmallIcon(), c.data.hIcon);
    EXPECT_NE(nullptr, c.data.hIcon);
    EXPECT_EQ("Zarn", c.tip());
    ASSERT_NE(nullptr, Entry(main));
    EXPECT_EQ(1, Entry(main)->id);
    EXPECT_EQ(nullptr, Entry(main)->hook);
    EXPECT_EQ(1, g_tray.count);
}

TEST_F(Registry, AddSendsTheWholeRequestAndHooksOnce)
{
    g_notify.Clear();
    int id = 0;
    HWND w = Add("first window", &id);
    EXPECT_EQ(2, id);
    ASSERT_EQ(1u, g_notify.calls.size());
    const NotifyCall &c = g_notify.calls[0];
    EXPECT_EQ((DWORD)NIM_ADD, c.message);
    EXPECT_EQ((DWORD)NOTIFYICONDATAA_V1_SIZE, c.cbSize);
    EXPECT_EQ(main, c.data.hWnd);
    EXPECT_EQ(2u, c.data.uID);
    EXPECT_EQ(7u, c.data.uFlags);
    EXPECT_EQ((UINT)MSG_TRAY_WINDOW, c.data.uCallbackMessage);
    EXPECT_EQ(GetWindowSmallIcon(w), c.data.hIcon);
    EXPECT_EQ("first window", c.tip());
    HGLOBAL hook = Entry(w)->hook;
    EXPECT_NE(nullptr, hook);

    // Again: same id, nothing sent, no second hook.
    EXPECT_EQ(2, TrayAddIcon(NULL, w, NULL, "other"));
    EXPECT_EQ(1u, g_notify.calls.size());
    EXPECT_EQ(hook, Entry(w)->hook);
    EXPECT_EQ(2, g_tray.count);
}

TEST_F(Registry, LowestFreeIdIsReused)
{
    int a, b, c, d;
    Add("a", &a);
    HWND wb = Add("b", &b);
    Add("c", &c);
    EXPECT_EQ((std::vector<int>{2, 3, 4}), (std::vector<int>{a, b, c}));
    TrayRemoveWindow(wb);
    Add("d", &d);
    EXPECT_EQ(3, d);
    EXPECT_EQ((std::vector<int>{3, 4, 2, 1}), Ids());   // newest first
}

TEST_F(Registry, FullRegistryRefusesWithoutRecordHookOrIcon)
{
    for (int i = 2; i <= 254; i++) {
        int id = 0;
        Add("w" + std::to_string(i), &id);
        ASSERT_EQ(i, id);
    }
    size_t calls = g_notify.calls.size();
    HWND extra = MakeWindow("one too many");
    own.push_back(extra);
    EXPECT_EQ(0, TrayAddIcon(NULL, extra, GetWindowSmallIcon(extra), "x"));
    EXPECT_EQ(calls, g_notify.calls.size());
    EXPECT_EQ(nullptr, Entry(extra));
    EXPECT_EQ(254, g_tray.count);
    EXPECT_EQ(0, TrayAllocId());
}

TEST_F(Registry, RefusedAddKeepsTheRecord)
{
    g_notify.refuseNext = 1;
    int id = 1;
    HWND w = Add("refused", &id);
    EXPECT_EQ(0, id);
    ASSERT_NE(nullptr, Entry(w));
    EXPECT_NE(nullptr, Entry(w)->hook);
    size_t calls = g_notify.calls.size();
    EXPECT_EQ(2, TrayAddIcon(NULL, w, GetWindowSmallIcon(w), "refused"));
    EXPECT_EQ(calls, g_notify.calls.size());
}

TEST_F(Registry, RemovingZarnsOwnIconRestoresEveryWindowNewestFirst)
{
    std::vector<HWND> ws;
    for (int i = 0; i < 3; i++) {
        HWND w = Add("t" + std::to_string(i));
        ShowWindow(w, SW_HIDE);
        ws.push_back(w);
    }
    g_notify.Clear();
    TrayRemoveWindow(main);
    std::vector<int> deleted;
    for (auto &c : g_notify.Of(NIM_DELETE))
        deleted.push_back((int)c.data.uID);
    EXPECT_EQ((std::vector<int>{1, 4, 3, 2}), deleted);
    EXPECT_EQ(0, g_tray.count);
    EXPECT_EQ(nullptr, g_tray.head);
    for (HWND w : ws)
        EXPECT_TRUE(IsWindowVisible(w));
}

TEST_F(Registry, DestroyedWindowLookupDropsRecordAndIcon)
{
    int id = 0;
    HWND w = Add("short-lived", &id);
    DestroyWindow(w);     // its destruction report is still queued
    g_notify.Clear();
    EXPECT_EQ(nullptr, TrayFindWindow(id));
    auto del = g_notify.Of(NIM_DELETE);
    ASSERT_EQ(1u, del.size());
    EXPECT_EQ((UINT)id, del[0].data.uID);
    EXPECT_EQ(main, del[0].data.hWnd);
    EXPECT_EQ(0u, del[0].data.uFlags);
    EXPECT_EQ(0, TrayFindId(w));
    EXPECT_EQ(nullptr, TrayFindWindow(id));   // and a second time: nothing more
    EXPECT_EQ(1u, g_notify.Of(NIM_DELETE).size());
}

TEST_F(Registry, TaskbarCreatedReAddsAllWithCurrentIconsAndTitles)
{
    HWND w = Add("old title");
    SetWindowTextA(w, "new title that is rather long, longer than any tooltip can hold, really");
    PumpFor(50);   // the title report of the hook goes by first
    g_notify.Clear();
    SendMessageA(main, GetTaskbarCreatedMessage(), 0, 0);
    auto adds = g_notify.Of(NIM_ADD);
    ASSERT_EQ(2u, adds.size());
    EXPECT_EQ(2u, adds[0].data.uID);   // walk from the head: newest first
    EXPECT_EQ((UINT)MSG_TRAY_WINDOW, adds[0].data.uCallbackMessage);
    EXPECT_EQ(7u, adds[0].data.uFlags);
    EXPECT_EQ(GetWindowSmallIcon(w), adds[0].data.hIcon);
    EXPECT_EQ(std::string("new title that is rather long, longer than any tooltip can hold, really").substr(0, 63),
              adds[0].tip());
    EXPECT_EQ(1u, adds[1].data.uID);
    EXPECT_EQ((UINT)MSG_TRAY_MAIN, adds[1].data.uCallbackMessage);
    EXPECT_EQ("Zarn", adds[1].tip());
    EXPECT_EQ(GetSmallIcon(), adds[1].data.hIcon);
}

TEST_F(Registry, ReAddRetriesARefusedRecordABoundedNumberOfTimes)
{
    Add("a");
    Add("b");
    g_notify.Clear();
    g_notify.refuseAll = 1;
    TrayReAddAll();   // must come to an end
    std::vector<int> ids;
    for (auto &c : g_notify.Of(NIM_ADD))
        ids.push_back((int)c.data.uID);
    EXPECT_EQ((std::vector<int>{3, 3, 3, 2, 2, 2, 1, 1, 1}), ids);

    g_notify.Clear();
    g_notify.refuseAll = 0;
    g_notify.refuseNext = 1;   // one refusal: that record is tried again, then the walk goes on
    TrayReAddAll();
    ids.clear();
    for (auto &c : g_notify.Of(NIM_ADD))
        ids.push_back((int)c.data.uID);
    EXPECT_EQ((std::vector<int>{3, 3, 2, 1}), ids);
}

TEST_F(Registry, SetTipCutsAt63Characters)
{
    HWND w = Add("w");
    g_notify.Clear();
    std::string text(100, 'x');
    text[62] = 'L';
    TraySetTip(w, text.c_str());
    ASSERT_EQ(1u, g_notify.calls.size());
    const NotifyCall &c = g_notify.calls[0];
    EXPECT_EQ((DWORD)NIM_MODIFY, c.message);
    EXPECT_EQ((UINT)NIF_TIP, c.data.uFlags);
    EXPECT_EQ(0u, c.data.uCallbackMessage);
    EXPECT_EQ(nullptr, c.data.hIcon);
    EXPECT_EQ(text.substr(0, 63), c.tip());

    HWND stranger = MakeWindow("not trayed");
    own.push_back(stranger);
    TraySetTip(stranger, "x");
    TraySetIcon(stranger, NULL);
    EXPECT_EQ(1u, g_notify.calls.size());
}

TEST_F(Registry, SetIconWithNullFallsBackToTheWindowsIcon)
{
    HWND w = Add("w");
    g_notify.Clear();
    HICON explicitIcon = LoadIconA(NULL, (LPCSTR)IDI_WARNING);
    TraySetIcon(w, explicitIcon);
    TraySetIcon(w, NULL);
    auto mods = g_notify.Of(NIM_MODIFY);
    ASSERT_EQ(2u, mods.size());
    EXPECT_EQ((UINT)NIF_ICON, mods[0].data.uFlags);
    EXPECT_EQ(explicitIcon, mods[0].data.hIcon);
    EXPECT_EQ("", mods[0].tip());
    EXPECT_EQ(GetWindowSmallIcon(w), mods[1].data.hIcon);
    EXPECT_NE(nullptr, mods[1].data.hIcon);
}

TEST_F(Registry, SetIconDoesNothingForAWindowWithoutAnyIcon)
{
    // Another program whose file has no icon and whose class has none.
    TestWindow tw;
    ASSERT_TRUE(tw.Start("/noclassicon", false, /*noIcon=*/true));
    EXPECT_EQ(nullptr, GetWindowSmallIcon(tw.hwnd));
    HICON icon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    ASSERT_NE(0, TrayAddIcon(NULL, tw.hwnd, icon, "iconless"));
    g_notify.Clear();
    TraySetIcon(tw.hwnd, NULL);
    EXPECT_TRUE(g_notify.calls.empty());
}

TEST_F(Registry, ForeignWindowFallsBackToItsProgramFileIcon)
{
    TestWindow tw;
    ASSERT_TRUE(tw.Start());
    HICON a = GetWindowSmallIcon(tw.hwnd);
    EXPECT_NE(nullptr, a);
    EXPECT_EQ(a, GetWindowSmallIcon(tw.hwnd));   // loaded once per program file
}

TEST_F(Registry, AWindowThatStopsAnsweringCostsAtMostTheTimeOut)
{
    // A window on another thread of ours, whose thread then stops answering.
    HWND hung = nullptr;
    HANDLE release = CreateEventA(NULL, TRUE, FALSE, NULL);
    std::thread t([&] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ZarnHungWindow";   // no class icons
        RegisterClassA(&wc);
        hung = CreateWindowA("ZarnHungWindow", "hung", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                             NULL, NULL, GetModuleHandleA(NULL), NULL);
        WaitForSingleObject(release, INFINITE);   // never pumps while we ask
        DestroyWindow(hung);
    });
    ASSERT_TRUE(WaitUntil([&] { return hung != nullptr; }, 5000));
    DWORD start = GetTickCount();
    HICON icon = GetWindowSmallIcon(hung);
    DWORD took = GetTickCount() - start;
    SetEvent(release);
    t.join();
    CloseHandle(release);
    printf("GetWindowSmallIcon on a hung window took %lu ms\n", took);
    EXPECT_NE(nullptr, icon);   // the program file's icon
    // Two requests with a 500 ms bound each; without the bound it never returns.
    EXPECT_LT(took, 5000u);
}

}  // namespace
