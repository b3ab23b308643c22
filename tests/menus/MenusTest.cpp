// The tray menu, the per-window menu, the menu resource and the order of
// window lists, with Zarn's real window in this process and real windows of
// other programs.
#include <gtest/gtest.h>
#include <string.h>
#include "MenuFixture.h"
#include "Actions.h"
#include "Menus.h"
#include "Registry.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

std::vector<int> ItemIds(HMENU menu)
{
    std::vector<int> ids;
    for (auto &e : ReadMenu(menu))
        if (e.type & MFT_OWNERDRAW)
            ids.push_back((int)e.data);
    return ids;
}

// ---- the resource -------------------------------------------------------

struct ResourceItem {
    UINT id;           // 0: separator
    const char *text;  // UTF-8
    bool grayed;
};

void ExpectPopup(HMENU popup, const std::vector<ResourceItem> &want)
{
    auto got = ReadMenu(popup);
    ASSERT_EQ(want.size(), got.size());
    for (size_t i = 0; i < want.size(); i++) {
        SCOPED_TRACE(i);
        if (!want[i].id) {
            EXPECT_TRUE(got[i].type & MFT_SEPARATOR);
            continue;
        }
        EXPECT_EQ(want[i].id, got[i].id);
        EXPECT_EQ((UINT)MFT_STRING, got[i].type);
        if (want[i].grayed) {
            EXPECT_TRUE(got[i].state & MF_GRAYED);
        }
        EXPECT_EQ(0u, got[i].state & ~(UINT)(want[i].grayed ? MFS_GRAYED : 0));
        EXPECT_TRUE(got[i].text == Wide(want[i].text));
        EXPECT_EQ(Ansi(want[i].text), got[i].ansi);   // what the ANSI reads of Zarn see
    }
}

TEST(MenuResource, JapaneseMenuWithBothPopups)
{
    HMODULE self = GetModuleHandleA(NULL);
    EXPECT_NE(nullptr, FindResourceExA(self, (LPCSTR)RT_MENU, MAKEINTRESOURCEA(IDR_TRAYMENU),
                                       MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
    HMENU menu = LoadMenuA(self, MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(2, GetMenuItemCount(menu));
    wchar_t caption[32];
    GetMenuStringW(menu, 0, caption, 32, MF_BYPOSITION);
    EXPECT_STREQ(L"dummy", caption);
    GetMenuStringW(menu, 1, caption, 32, MF_BYPOSITION);
    EXPECT_STREQ(L"dummy2", caption);
    ExpectPopup(GetSubMenu(menu, 0), {{50000, "(なし)", true},
                                      {0, nullptr, false},
                                      {40001, "閉じる", false}});
    ExpectPopup(GetSubMenu(menu, 1), {{40002, "元のｻｲｽﾞに戻す", false},
                                      {40005, "最小化", false},
                                      {0, nullptr, false},
                                      {40006, "常に手前に表示", false},
                                      {0, nullptr, false},
                                      {40003, "閉じる", false},
                                      {0, nullptr, false},
                                      {40004, "Zarnからはずす", false}});
    DestroyMenu(menu);
}

// ---- order of window lists ----------------------------------------------

struct OrderCase {
    const char *nameA, *titleA, *nameB, *titleB;
    int sign;   // of Compare(a, b)
    const char *why;
};

class ListOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ListOrder, ComparesNamesFoldedThenTitles)
{
    const OrderCase &c = GetParam();
    WindowListItem a{}, b{};
    lstrcpyA(a.processName, c.nameA);
    lstrcpyA(a.title, c.titleA);
    lstrcpyA(b.processName, c.nameB);
    lstrcpyA(b.title, c.titleB);
    int ab = CompareWindowListItems(&a, &b), ba = CompareWindowListItems(&b, &a);
    EXPECT_EQ(c.sign, (ab > 0) - (ab < 0)) << c.why;
    EXPECT_EQ(-c.sign, (ba > 0) - (ba < 0)) << c.why;
}

INSTANTIATE_TEST_SUITE_P(Table, ListOrder, ::testing::Values(
    OrderCase{"b.exe", "Zeta", "B.EXE", "Alpha", 1, "names equal without case: title decides"},
    OrderCase{"a.exe", "Omega", "B.EXE", "Alpha", -1, "name before title"},
    OrderCase{"a.exe", "Omega", "b.exe", "Zeta", -1, "name before title"},
    OrderCase{"_x.exe", "t", "A.EXE", "t", -1, "underscore before letters: letters fold down"},
    OrderCase{"_x.exe", "t", "a.exe", "t", -1, "underscore before letters"},
    OrderCase{"\x83\x41.exe", "t", "\x83\x61.exe", "t", 0, "second byte A folds to a"},
    OrderCase{"\x83\x5A.exe", "t", "\x83\x60.exe", "t", 1, "Z folded (0x7A) is above 0x60"},
    OrderCase{"\xC1.exe", "t", "\xE1.exe", "t", -1, "only A-Z fold: other bytes compare as they are"},
    OrderCase{"", "Zeta", "a.exe", "Alpha", -1, "an empty name sorts first"},
    OrderCase{"", "t", "\x01", "t", -1, "an empty name sorts first"},
    OrderCase{"", "Alpha", "", "Beta", -1, "empty names: titles alone"},
    OrderCase{"x.exe", "\x90", "x.exe", "a", 1, "titles compare as unsigned bytes"},
    OrderCase{"x.exe", "alpha", "x.exe", "Beta", 1, "titles are case-sensitive"},
    OrderCase{"x.exe", "same", "X.EXE", "same", 0, "equal"}));

TEST(ListOrder, TitleComparisonGivesUnitSteps)
{
    WindowListItem a{}, b{};
    lstrcpyA(a.title, "a");
    lstrcpyA(b.title, "z");
    EXPECT_EQ(-1, CompareWindowListItems(&a, &b));
    EXPECT_EQ(1, CompareWindowListItems(&b, &a));
}

// Programs named b.exe (Zeta), B.EXE (Alpha) and a.exe (Omega).
TEST_F(MenuTest, TrayMenuOrdersByProgramNameThenTitle)
{
    HWND zeta = Start("b.exe", "/title=Zeta");
    HWND alpha = Start("B.EXE", "/title=Alpha");
    HWND omega = Start("a.exe", "/title=Omega");
    ASSERT_TRUE(zeta && alpha && omega);
    int idZeta = Tray(zeta), idAlpha = Tray(alpha), idOmega = Tray(omega);
    ASSERT_TRUE(idZeta && idAlpha && idOmega);

    char name[260] = "";
    ASSERT_EQ(1, GetProcessExeName(alpha, name));
    EXPECT_EQ(0, lstrcmpiA(name, "B.EXE")) << name;
    ASSERT_EQ(1, GetProcessExeName(omega, name));
    EXPECT_EQ(0, lstrcmpiA(name, "a.exe")) << name;

    EXPECT_EQ((std::vector<int>{idOmega, idAlpha, idZeta}), ItemIds(BuildTrayMenu()));

    WindowListItem *items = nullptr;
    ASSERT_EQ(3, SnapshotTrayedWindows(&items));
    EXPECT_STREQ("Omega", items[0].title);
    EXPECT_EQ(omega, items[0].window);
    EXPECT_EQ(0, lstrcmpiA(items[1].processName, "b.exe"));
    EXPECT_EQ(0, lstrcmpiA(items[2].processName, "b.exe"));
    FreeWindowList(items);
}

// A program that fails the version gate: the same windows in a copy of this
// test program that Wine reports as Windows NT 4.0.
TEST(VersionGate, FailingGateLeavesTitlesAloneDeciding)
{
    std::string child = BinPath("menus_gate_child.exe");
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    ASSERT_TRUE(CopyFileA(self, child.c_str(), FALSE));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER,
              "Software\\Wine\\AppDefaults\\menus_gate_child.exe", 0, NULL, 0, KEY_WRITE, NULL, &key, NULL));
    RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE *)"nt40", 5);
    RegCloseKey(key);

    SetEnvironmentVariableA("ZARN_GATE_CHILD", "1");
    Process p;
    ASSERT_TRUE(p.Start("\"" + child + "\" --gtest_filter=GateChild.*"));
    SetEnvironmentVariableA("ZARN_GATE_CHILD", NULL);
    EXPECT_EQ(0u, p.Wait(120000));
    DeleteFileA(child.c_str());
}

class GateChild : public MenuTest {
protected:
    void SetUp() override
    {
        if (!GetEnvironmentVariableA("ZARN_GATE_CHILD", NULL, 0))
            GTEST_SKIP() << "runs in the copy started by VersionGate";
        MenuTest::SetUp();
    }
};

TEST_F(GateChild, NoProcessNames)
{
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&v);
#pragma GCC diagnostic pop
    ASSERT_EQ((DWORD)VER_PLATFORM_WIN32_NT, v.dwPlatformId);
    ASSERT_LT(v.dwMajorVersion, 5u);

    HWND zeta = Start("a.exe", "/title=Zeta");
    HWND alpha = Start("b.exe", "/title=Alpha");
    ASSERT_TRUE(zeta && alpha);
    int idZeta = Tray(zeta), idAlpha = Tray(alpha);
    ASSERT_TRUE(idZeta && idAlpha);
    char name[260] = "unchanged";
    EXPECT_EQ(0, GetProcessExeName(zeta, name));
    EXPECT_EQ((std::vector<int>{idAlpha, idZeta}), ItemIds(BuildTrayMenu()));
    WindowListItem *items = nullptr;
    ASSERT_EQ(2, SnapshotTrayedWindows(&items));
    EXPECT_STREQ("", items[0].processName);
    EXPECT_STREQ("", items[1].processName);
    FreeWindowList(items);
}

// ---- the tray menu ------------------------------------------------------

TEST_F(MenuTest, EmptyTrayMenuIsTheResourcePopup)
{
    HMENU before = LastBuiltPopup;
    HMENU menu = BuildTrayMenu();
    EXPECT_EQ(TrayPopup, menu);
    EXPECT_EQ(before, LastBuiltPopup);
    auto items = ReadMenu(menu);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(50000u, items[0].id);
    EXPECT_TRUE(items[0].state & MFS_GRAYED);
    EXPECT_TRUE(items[0].text == Wide("(なし)"));
    EXPECT_TRUE(items[1].type & MFT_SEPARATOR);
    EXPECT_EQ(40001u, items[2].id);
    EXPECT_TRUE(items[2].text == Wide("閉じる"));
}

TEST_F(MenuTest, TrayMenuListsTrayedWindowsOwnerDrawn)
{
    HWND a = Start("/title=First");
    HWND b = Start("/title=Second");
    ASSERT_TRUE(a && b);
    int idA = Tray(a), idB = Tray(b);
    ASSERT_TRUE(idA > 1 && idB > 1);
    ASSERT_EQ(3, g_tray.count);   // Zarn's own record is in the registry

    HMENU first = BuildTrayMenu();
    ASSERT_NE(TrayPopup, first);
    EXPECT_EQ(first, LastBuiltPopup);
    auto items = ReadMenu(first);
    ASSERT_EQ(4u, items.size()) << "two windows, separator, close; never Zarn's own";
    int ids[2] = {idA, idB};   // testwin.exe both: by title
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ((UINT)MFT_OWNERDRAW, items[i].type);
        EXPECT_EQ((ULONG_PTR)ids[i], items[i].data);
        EXPECT_EQ((UINT)(50000 + ids[i]), items[i].id);
    }
    EXPECT_TRUE(items[2].type & MFT_SEPARATOR);
    EXPECT_EQ(40001u, items[3].id);
    EXPECT_TRUE(items[3].text == Wide("閉じる"));
    EXPECT_EQ(0u, items[3].state) << "states are not carried over";

    HMENU second = BuildTrayMenu();
    EXPECT_FALSE(IsMenu(first)) << "the previous popup is destroyed";
    EXPECT_EQ(second, LastBuiltPopup);
    EXPECT_TRUE(IsMenu(TrayPopup));
    EXPECT_EQ(3, GetMenuItemCount(TrayPopup)) << "the resource popup is left as it was";

    // Emptied again: the resource popup, and the last built one stays.
    RestoreWindow(a, 1);
    RestoreWindow(b, 1);
    EXPECT_EQ(TrayPopup, BuildTrayMenu());
    EXPECT_EQ(second, LastBuiltPopup);
}

TEST_F(MenuTest, RightClickOnOwnIconShowsTrayMenuAtCursor)
{
    HWND a = Start("/title=Listed");
    ASSERT_TRUE(a);
    int id = Tray(a);
    ASSERT_TRUE(id);
    SetCursorPos(300, 250);
    POINT at;
    GetCursorPos(&at);
    RECT shown{};
    std::vector<MenuEntry> items;
    ArmWhileOpen([&](HWND menuWindow) {
        GetWindowRect(menuWindow, &shown);
        items = ReadMenu(LastBuiltPopup);
        return false;
    });
    SendMessageA(main, MSG_TRAY_MAIN, 1, WM_RBUTTONUP);
    ASSERT_TRUE(RanWhileOpen());
    EXPECT_EQ(at.x, shown.left);
    EXPECT_EQ(at.y, shown.top);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ((UINT)(50000 + id), items[0].id);
}

// ---- the per-window menu ------------------------------------------------

struct WindowMenuState {
    UINT restore, minimize, topmost;
    int id;
};

WindowMenuState ReadWindowPopup()
{
    WindowMenuState s{};
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STATE;
    GetMenuItemInfoA(WindowPopup, 40002, FALSE, &mii);
    s.restore = mii.fState;
    GetMenuItemInfoA(WindowPopup, 40005, FALSE, &mii);
    s.minimize = mii.fState;
    GetMenuItemInfoA(WindowPopup, 40006, FALSE, &mii);
    s.topmost = mii.fState;
    s.id = GetMenuWindowId(WindowPopup);
    return s;
}

WindowMenuState OpenWindowPopup(HWND main, int id)
{
    WindowMenuState seen{};
    ArmWhileOpen([&](HWND) {
        seen = ReadWindowPopup();
        return false;
    });
    SendMessageA(main, MSG_TRAY_WINDOW, id, WM_RBUTTONUP);
    EXPECT_TRUE(RanWhileOpen()) << "the per-window menu did not open";
    return seen;
}

TEST_F(MenuTest, WindowMenuFollowsVisibilityAndTopmost)
{
    HWND hidden = Start("/title=Hidden");
    HWND shown = Start("/title=Shown");
    ASSERT_TRUE(hidden && shown);
    int idHidden = Tray(hidden);
    // Registered but left on screen: a trayed window shown again.
    int idShown = TrayAddIcon(NULL, shown, GetWindowSmallIcon(shown), "Shown");
    ASSERT_TRUE(idHidden && idShown);
    ASSERT_FALSE(IsWindowVisible(hidden));
    ASSERT_TRUE(IsWindowVisible(shown));

    // Hidden: restore enabled and bold, minimize grayed.
    WindowMenuState s = OpenWindowPopup(main, idHidden);
    EXPECT_EQ(idHidden, s.id);
    EXPECT_EQ((UINT)MFS_DEFAULT, s.restore);
    EXPECT_EQ((UINT)MFS_GRAYED, s.minimize);
    EXPECT_EQ(0u, s.topmost & MFS_CHECKED);

    // Shown and always on top: minimize enabled, restore grayed but still
    // bold, the check mark set.
    SetWindowPos(shown, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return (GetWindowLongA(shown, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    s = OpenWindowPopup(main, idShown);
    EXPECT_EQ(idShown, s.id);
    EXPECT_EQ((UINT)(MFS_GRAYED | MFS_DEFAULT), s.restore);
    EXPECT_EQ(0u, s.minimize);
    EXPECT_EQ((UINT)MFS_CHECKED, s.topmost & MFS_CHECKED);

    // Back to the hidden one: every state set afresh, the check mark cleared.
    s = OpenWindowPopup(main, idHidden);
    EXPECT_EQ(idHidden, s.id);
    EXPECT_EQ((UINT)MFS_DEFAULT, s.restore);
    EXPECT_EQ((UINT)MFS_GRAYED, s.minimize);
    EXPECT_EQ(0u, s.topmost & MFS_CHECKED);

    // Not topmost any more: no check mark on the shown one either.
    SetWindowPos(shown, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return (GetWindowLongA(shown, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0; }));
    s = OpenWindowPopup(main, idShown);
    EXPECT_EQ(0u, s.topmost & MFS_CHECKED);

    // Commands 40003 and 40004 keep their resource state.
    for (UINT cmd : {40003u, 40004u}) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STATE;
        GetMenuItemInfoA(WindowPopup, cmd, FALSE, &mii);
        EXPECT_EQ(0u, mii.fState) << cmd;
    }
}

TEST_F(MenuTest, WindowMenuCommandActsOnTheStoredId)
{
    HWND a = Start("/title=Chosen");
    ASSERT_TRUE(a);
    int id = Tray(a);
    ASSERT_TRUE(id);
    int restores = Of(a)->Restores();
    // Down to the first item (restore), Enter: the command goes to Zarn.
    ArmWhileOpen([&](HWND menuWindow) {
        PostMenuKey(menuWindow, VK_DOWN);
        PostMenuKey(menuWindow, VK_RETURN);
        return true;
    });
    SendMessageA(main, MSG_TRAY_WINDOW, id, WM_RBUTTONUP);
    ASSERT_TRUE(RanWhileOpen());
    EXPECT_TRUE(WaitRestored(a, restores));
    EXPECT_EQ(id, TrayFindId(a)) << "restore keeps the icon";
}

TEST_F(MenuTest, WindowDestroyedWhileItsMenuIsOpen)
{
    HWND a = Start("/title=Doomed");
    ASSERT_TRUE(a);
    int id = Tray(a);
    ASSERT_TRUE(id);
    g_notify.Clear();
    NamedWindow *owner = windows.back().get();
    ArmWhileOpen([&](HWND menuWindow) {
        owner->proc.Kill();   // no hook report: the window just goes
        for (int i = 0; i < 500 && IsWindow(a); i++)
            Sleep(10);
        PostMenuKey(menuWindow, VK_DOWN);
        PostMenuKey(menuWindow, VK_RETURN);
        return true;
    });
    SendMessageA(main, MSG_TRAY_WINDOW, id, WM_RBUTTONUP);
    ASSERT_TRUE(RanWhileOpen());
    ASSERT_FALSE(IsWindow(a));
    PumpFor(200);   // the posted WM_COMMAND
    EXPECT_EQ(0, TrayFindId(a));
    auto deletes = g_notify.Of(NIM_DELETE);
    ASSERT_EQ(1u, deletes.size()) << "the dead window's icon goes, nothing else";
    EXPECT_EQ((UINT)id, deletes[0].data.uID);
    EXPECT_EQ(1, g_tray.count) << "only Zarn's own record is left";
}

TEST_F(MenuTest, WindowMenuOfAVanishedWindowStillOpens)
{
    HWND a = Start("/title=Gone");
    ASSERT_TRUE(a);
    int id = Tray(a);
    ASSERT_TRUE(id);
    windows.back()->proc.Kill();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(a); }));
    WindowMenuState s = OpenWindowPopup(main, id);
    EXPECT_EQ(id, s.id);
    EXPECT_EQ((UINT)MFS_DEFAULT, s.restore);
    EXPECT_EQ((UINT)MFS_GRAYED, s.minimize);
    EXPECT_EQ(0u, s.topmost & MFS_CHECKED);
    EXPECT_EQ(0, TrayFindId(a)) << "the lookup dropped the record";
}

TEST_F(MenuTest, MenuWindowIdRoundTrip)
{
    EXPECT_EQ(1, SetMenuWindowId(WindowPopup, 77));
    EXPECT_EQ(77, GetMenuWindowId(WindowPopup));
    EXPECT_EQ(1, SetMenuWindowId(WindowPopup, -3));
    EXPECT_EQ(-3, GetMenuWindowId(WindowPopup));
    HMENU empty = CreatePopupMenu();
    EXPECT_EQ(0, SetMenuWindowId(empty, 5));
    EXPECT_EQ(0, GetMenuWindowId(empty));
    DestroyMenu(empty);

    struct { int enabled, def; UINT state; } table[] = {
        {1, 0, 0}, {0, 0, MFS_DISABLED}, {1, 1, MFS_DEFAULT}, {0, 1, MFS_DISABLED | MFS_DEFAULT}};
    for (auto &t : table) {
        EXPECT_EQ(1, SetMenuItemStateById(WindowPopup, 40003, t.enabled, t.def));
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STATE;
        GetMenuItemInfoA(WindowPopup, 40003, FALSE, &mii);
        EXPECT_EQ(t.state, mii.fState);
    }
    EXPECT_EQ(0, SetMenuItemStateById(WindowPopup, 49999, 1, 0));
}

}  // namespace
