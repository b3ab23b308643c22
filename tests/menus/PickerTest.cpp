// The window picker with Zarn's real window in this process: which windows
// it offers, the ids it gives them, and what choosing one does.
#include <gtest/gtest.h>
#include <string.h>
#include <algorithm>
#include <map>
#include "MenuFixture.h"
#include "Actions.h"
#include "Menus.h"
#include "Picker.h"
#include "Registry.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

std::map<HWND, int> PickerIds()
{
    std::map<HWND, int> ids;
    for (TrayEntry *e = PickerList.head; e; e = e->next)
        ids[e->window] = e->id;
    return ids;
}

// Menu item data (the ids) in menu order, with the commands beside them.
std::vector<std::pair<int, UINT>> MenuIds(HMENU menu)
{
    std::vector<std::pair<int, UINT>> out;
    for (auto &e : ReadMenu(menu)) {
        EXPECT_EQ((UINT)MFT_OWNERDRAW, e.type) << "the picker has window items only";
        out.push_back({(int)e.data, e.id});
    }
    return out;
}

bool Listed(HMENU menu, int id)
{
    for (auto &p : MenuIds(menu))
        if (p.first == id)
            return true;
    return false;
}

// Another window on this desktop that the picker would take spoils the
// cases that need a desktop of our own windows only.
bool OnlyOurs(const std::vector<HWND> &ours)
{
    PickerCandidates c{};
    EnumWindows(CollectPickerCandidate, (LPARAM)&c);
    for (int i = 0; i < c.count; i++)
        if (std::find(ours.begin(), ours.end(), c.windows[i]) == ours.end())
            return false;
    return true;
}

struct Candidate {
    const char *label;
    const char *options;     // a test window of another program with these options
    int width, height;       // else a window of this process, restored size
    DWORD style;
    int showCmd;
    bool offered;
};

TEST_F(MenuTest, PickerOffersVisibleEnabledTitledWindowsOfSomeSize)
{
    const Candidate table[] = {
        {"ordinary", "", 0, 0, 0, 0, true},
        {"pop-up", "/popup", 0, 0, 0, 0, false},
        {"disabled", "/disabled", 0, 0, 0, 0, false},
        {"hidden", "/hidden", 0, 0, 0, 0, false},
        {"", "", 0, 0, 0, 0, false},                      // title emptied by TW_SETTITLE 0
        {"tiny", "/tiny", 0, 0, 0, 0, false},
        {"minimized", "/min", 0, 0, 0, 0, true},
        {"11x11", nullptr, 11, 11, 0, SW_SHOWNOACTIVATE, true},
        {"10x10", nullptr, 10, 10, 0, SW_SHOWNOACTIVATE, false},
        {"10 wide", nullptr, 10, 200, 0, SW_SHOWNOACTIVATE, false},
        {"10 high", nullptr, 200, 10, 0, SW_SHOWNOACTIVATE, false},
        {"minimized 11x11", nullptr, 11, 11, 0, SW_SHOWMINNOACTIVE, true},
        {"minimized 10x10", nullptr, 10, 10, 0, SW_SHOWMINNOACTIVE, false},
        {"local pop-up", nullptr, 200, 100, WS_POPUP, SW_SHOWNOACTIVATE, false},
        {"local disabled", nullptr, 200, 100, WS_DISABLED, SW_SHOWNOACTIVATE, false},
        {"local hidden", nullptr, 200, 100, 0, SW_HIDE, false},
        {"", nullptr, 200, 100, 0, SW_SHOWNOACTIVATE, false},
    };
    std::vector<HWND> hwnds, locals;
    for (auto &c : table) {
        HWND w;
        if (c.options) {
            w = Start(std::string("/title=\"") + (c.label[0] ? c.label : "untitled") + "\" " + c.options);
            ASSERT_TRUE(w) << c.label;
            if (!c.label[0])
                SendMessageA(w, TW_SETTITLE, 0, 0);
        } else {
            w = MakeLocalWindow(c.label, c.width, c.height, c.style, c.showCmd);
            ASSERT_TRUE(w) << c.label;
            locals.push_back(w);
            WINDOWPLACEMENT wp{};
            wp.length = sizeof wp;
            GetWindowPlacement(w, &wp);
            ASSERT_EQ(c.width, wp.rcNormalPosition.right - wp.rcNormalPosition.left) << c.label;
            ASSERT_EQ(c.height, wp.rcNormalPosition.bottom - wp.rcNormalPosition.top) << c.label;
            ASSERT_EQ(c.showCmd == SW_SHOWMINNOACTIVE, IsIconic(w) != 0) << c.label;
        }
        hwnds.push_back(w);
    }
    HMENU menu = BuildPickerMenu();
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(menu, LastBuiltPopup);
    auto ids = PickerIds();
    for (size_t i = 0; i < hwnds.size(); i++) {
        SCOPED_TRACE(std::string(table[i].label) + (table[i].options ? " (test window)" : " (local)"));
        bool inList = ids.count(hwnds[i]) != 0;
        EXPECT_EQ(table[i].offered, inList);
        if (inList) {
            EXPECT_LT(ids[hwnds[i]], 0);
            EXPECT_TRUE(Listed(menu, ids[hwnds[i]]));
        }
    }
    EXPECT_EQ(0u, ids.count(main));
    for (HWND w : locals)
        DestroyWindow(w);
}

TEST_F(MenuTest, TrayedWindowsKeepTheirIdsAndZarnIsNeverListed)
{
    HWND hidden = Start("/title=HiddenTrayed");
    HWND shown = Start("/title=ShownTrayed");
    HWND plain = Start("/title=Plain");
    ASSERT_TRUE(hidden && shown && plain);
    int idHidden = Tray(hidden);
    int idShown = TrayAddIcon(NULL, shown, GetWindowSmallIcon(shown), "ShownTrayed");
    ASSERT_TRUE(idHidden > 1 && idShown > 1);

    HMENU menu = BuildPickerMenu();
    ASSERT_NE(nullptr, menu);
    auto ids = PickerIds();
    EXPECT_EQ(0u, ids.count(hidden));
    EXPECT_EQ(0u, ids.count(shown)) << "collected, but trayed: no picker id";
    ASSERT_EQ(1u, ids.count(plain));
    auto items = MenuIds(menu);
    std::map<int, UINT> commands(items.begin(), items.end());
    EXPECT_EQ(items.size(), commands.size()) << "every window once";
    EXPECT_EQ((UINT)(50000 + idHidden), commands[idHidden]);
    EXPECT_EQ((UINT)(50000 + idShown), commands[idShown]);
    EXPECT_EQ((UINT)(51000 - ids[plain]), commands[ids[plain]]);
    EXPECT_EQ(0u, commands.count(1)) << "Zarn's own record";

    // Every qualifying window trayed: the picker list empties.
    if (!OnlyOurs({shown, plain}))
        GTEST_SKIP() << "another window on this desktop";
    ShowWindow(plain, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(plain); }));
    HMENU next = BuildPickerMenu();
    EXPECT_FALSE(IsMenu(menu)) << "the previous popup is destroyed";
    EXPECT_EQ(0, PickerList.count);
    EXPECT_EQ(nullptr, PickerList.head);
    items = MenuIds(next);
    ASSERT_EQ(2u, items.size());
}

TEST_F(MenuTest, PickerIdsFollowZOrderWhileTheMenuIsSortedByTitle)
{
    HWND a = Start("/title=Apple");
    HWND b = Start("/title=Banana");
    HWND c = Start("/title=Cherry");
    ASSERT_TRUE(a && b && c);
    for (HWND w : {a, b, c})   // c ends on top, a lowest
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return GetWindow(c, GW_HWNDNEXT) == b && GetWindow(b, GW_HWNDNEXT) == a; }));

    HMENU menu = BuildPickerMenu();
    ASSERT_NE(nullptr, menu);
    auto ids = PickerIds();
    EXPECT_EQ(ids[b] - 1, ids[a]);
    EXPECT_EQ(ids[c] - 1, ids[b]);
    if (OnlyOurs({a, b, c})) {
        EXPECT_EQ(-1, ids[c]) << "topmost window first";
    }
    // The list itself runs in enumeration order.
    int expect = -1;
    for (TrayEntry *e = PickerList.head; e; e = e->next)
        EXPECT_EQ(expect--, e->id);
    EXPECT_EQ(-expect - 1, PickerList.count);

    auto items = MenuIds(menu);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(ids[a], items[0].first);
    EXPECT_EQ(ids[b], items[1].first);
    EXPECT_EQ(ids[c], items[2].first);
}

TEST_F(MenuTest, EmptyEnumerationKeepsThePreviousPickerList)
{
    HWND w = Start("/title=Kept");
    ASSERT_TRUE(w);
    if (!OnlyOurs({w}))
        GTEST_SKIP() << "another window on this desktop";
    ShowWindow(w, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(w); }));
    EXPECT_EQ(nullptr, BuildPickerMenu()) << "nothing to list at all";
    EXPECT_EQ(nullptr, LastBuiltPopup);

    ShowWindow(w, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(w) != 0; }));
    HMENU first = BuildPickerMenu();
    ASSERT_NE(nullptr, first);
    ASSERT_EQ(1, PickerList.count);
    EXPECT_EQ(w, PickerList.head->window);

    ShowWindow(w, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(w); }));
    HMENU second = BuildPickerMenu();
    ASSERT_NE(nullptr, second) << "the kept entry is still listed";
    ASSERT_EQ(1, PickerList.count);
    EXPECT_EQ(w, PickerList.head->window);
    EXPECT_EQ(-1, PickerList.head->id);
    auto items = MenuIds(second);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(51001u, items[0].second);
}

TEST_F(MenuTest, ChoosingAPickerItemRestoresThatWindow)
{
    HWND other = Start("/title=Other");
    HWND mini = Start("/title=Mini /min");
    ASSERT_TRUE(other && mini);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(mini) != 0; }));
    int restores = Of(mini)->Restores();

    HMENU menu = BuildPickerMenu();
    ASSERT_NE(nullptr, menu);
    int id = PickerIds()[mini];
    auto items = MenuIds(menu);
    int position = -1;
    for (size_t i = 0; i < items.size(); i++)
        if (items[i].first == id)
            position = (int)i;
    ASSERT_GE(position, 0);
    ArmWhileOpen([&](HWND menuWindow) {
        for (int i = 0; i <= position; i++)
            PostMenuKey(menuWindow, VK_DOWN);
        PostMenuKey(menuWindow, VK_RETURN);
        return true;
    });
    ShowPopupMenu(main, menu, 200, 150);
    ASSERT_TRUE(RanWhileOpen());
    EXPECT_TRUE(WaitRestored(mini, restores));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(mini); }));
    EXPECT_TRUE(IsIconic(other) == FALSE);
}

TEST_F(MenuTest, PickerStopsCollectingAtOneHundred)
{
    std::vector<HWND> many;
    for (int i = 0; i < 110; i++) {
        char title[32];
        wsprintfA(title, "Many %03d", i);
        many.push_back(MakeLocalWindow(title, 200, 100));
    }
    HMENU menu = BuildPickerMenu();
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(100, PickerList.count);
    EXPECT_EQ(100, GetMenuItemCount(menu));
    // The first hundred in Z order, in that order.
    std::vector<HWND> zorder;
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT))
        if (std::find(many.begin(), many.end(), w) != many.end())
            zorder.push_back(w);
    ASSERT_EQ(110u, zorder.size());
    if (OnlyOurs(many)) {
        int i = 0;
        for (TrayEntry *e = PickerList.head; e; e = e->next, i++)
            EXPECT_EQ(zorder[i], e->window) << i;
    }
    for (HWND w : many)
        DestroyWindow(w);
}

TEST_F(MenuTest, ReplacePickerListLinksEntriesInOrder)
{
    PickerPair pairs[3] = {{-1, (HWND)0x10}, {-2, (HWND)0x20}, {-3, (HWND)0x30}};
    EXPECT_EQ(3, ReplacePickerList(pairs, 3));
    ASSERT_EQ(3, PickerList.count);
    TrayEntry *e = PickerList.head;
    for (int i = 0; i < 3; i++, e = e->next) {
        ASSERT_NE(nullptr, e);
        EXPECT_EQ(pairs[i].id, e->id);
        EXPECT_EQ(pairs[i].window, e->window);
        EXPECT_EQ(nullptr, e->hook);
    }
    EXPECT_EQ(nullptr, e);
    EXPECT_EQ(0, ReplacePickerList(nullptr, 0));
    EXPECT_EQ(0, PickerList.count);
    EXPECT_EQ(nullptr, PickerList.head);
}

}  // namespace
