// Measuring and drawing the owner-drawn window items: the values the
// procedures compute, pixels drawn into a bitmap, and real menus on the
// test display. With ZARN_SHOT_DIR set, the menus are also saved there as
// BMP files (for the README pictures).
#include <gtest/gtest.h>
#include <string.h>
#include <algorithm>
#include "MenuFixture.h"
#include "Actions.h"
#include "Menus.h"
#include "Picker.h"
#include "Registry.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

SIZE TitleExtent(const std::string &title)
{
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE s{};
    GetTextExtentPoint32A(dc, title.c_str(), (int)title.size(), &s);
    SelectObject(dc, old);
    DeleteDC(dc);
    return s;
}

SIZE Measured()
{
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    EXPECT_EQ(1, MeasureWindowMenuItem(&mis));
    return SIZE{(LONG)mis.itemWidth, (LONG)mis.itemHeight};
}

void SaveShot(const Pixels &p, const char *name)
{
    char dir[MAX_PATH];
    if (!GetEnvironmentVariableA("ZARN_SHOT_DIR", dir, sizeof dir))
        return;
    SaveBmp(p, std::string(dir) + "\\" + name);
}

// The menu window with a margin of desktop around it.
Pixels GrabMenu(HWND menuWindow)
{
    RECT r;
    GetWindowRect(menuWindow, &r);
    InflateRect(&r, 12, 12);
    return GrabScreen(r);
}

TEST_F(MenuTest, OneSizeForAllItemsFromTheWidestAndTallestTitle)
{
    HWND a = Start("/title=A");
    HWND b = Start("/title=\"Somewhat longer title\"");
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(Tray(a) && Tray(b));
    SIZE wide = TitleExtent("Somewhat longer title");
    SIZE s = Measured();
    EXPECT_EQ(wide.cx + 20, s.cx);
    EXPECT_EQ(std::max(16L, wide.cy) + 2, s.cy);

    // A picker entry with a wider title widens the tray menu's items too.
    std::string widest = "An untrayed window with the widest title of all";
    HWND c = Start("/title=\"" + widest + "\"");
    ASSERT_TRUE(c);
    ASSERT_NE(nullptr, BuildPickerMenu());
    ASSERT_EQ(1, PickerList.count);
    SIZE w = TitleExtent(widest);
    ASSERT_GT(w.cx, wide.cx);
    s = Measured();
    EXPECT_EQ(w.cx + 20, s.cx);
    EXPECT_EQ(std::max(16L, w.cy) + 2, s.cy);
    BuildTrayMenu();
    EXPECT_EQ(w.cx + 20, Measured().cx);
}

TEST_F(MenuTest, EmptyAndVanishedTitlesStillMeasureAtLeastSixteenHigh)
{
    HWND untitled = MakeLocalWindow("", 200, 100);
    HWND gone = MakeLocalWindow("gone", 200, 100);
    DestroyWindow(gone);
    PickerPair pairs[2] = {{-1, untitled}, {-2, gone}};
    ReplacePickerList(pairs, 2);
    SIZE s = Measured();
    EXPECT_EQ(20, s.cx);
    EXPECT_EQ(std::max(16L, TitleExtent("").cy) + 2, s.cy);
    DestroyWindow(untitled);
}

// Draws one item into a bitmap the way the menu would, and a reference.
struct ItemCanvas {
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    int width, height;
    ItemCanvas(int w, int h) : width(w), height(h)
    {
        HDC screen = GetDC(NULL);
        dc = CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(NULL, screen);
        old = SelectObject(dc, bmp);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT all{0, 0, w, h};
        FillRect(dc, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    }
    ~ItemCanvas()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    Pixels Grab() { return GrabDC(dc, width, height); }
};

Pixels DrawItem(int id, UINT state, int width, int height)
{
    ItemCanvas c(width, height);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemData = (ULONG_PTR)(LONG_PTR)id;
    dis.itemState = state;
    dis.hDC = c.dc;
    dis.rcItem = RECT{0, 0, width, height};
    DrawWindowMenuItem(&dis);
    return c.Grab();
}

Pixels Reference(HICON icon, int iconY, const char *text, bool selected, int width, int height)
{
    ItemCanvas c(width, height);
    RECT r{0, 0, width, height};
    FillRect(c.dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (icon)
        DrawIconEx(c.dc, 10, iconY, icon, 16, 16, 0, NULL, DI_NORMAL);
    SetTextColor(c.dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    SetBkColor(c.dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    r.left = 30;
    DrawTextA(c.dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER);
    return c.Grab();
}

int Differences(const Pixels &a, const Pixels &b)
{
    int n = 0;
    for (size_t i = 0; i < a.bits.size(); i++)
        n += (a.bits[i] & 0xFFFFFF) != (b.bits[i] & 0xFFFFFF);
    return n;
}

TEST_F(MenuTest, DrawnItemPlacesIconOnePixelDownAndTextThirtyIn)
{
    HWND w = Start("/title=Drawn");
    ASSERT_TRUE(w);
    int id = Tray(w);
    ASSERT_TRUE(id);
    HICON icon = GetWindowSmallIcon(w);
    ASSERT_NE(nullptr, icon);
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "plain");
        Pixels got = DrawItem(id, selected ? ODS_SELECTED : 0, 160, 18);
        EXPECT_EQ(0, Differences(got, Reference(icon, 1, "Drawn", selected, 160, 18)));
        // Shifted by one pixel it would not match: the placement is exact.
        EXPECT_NE(0, Differences(got, Reference(icon, 2, "Drawn", selected, 160, 18)));
        EXPECT_EQ(GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU), ToColorRef(got.At(159, 0)));
    }
    // A taller item centres the icon: (24 - 15) / 2 = 4.
    EXPECT_EQ(0, Differences(DrawItem(id, 0, 160, 24), Reference(icon, 4, "Drawn", false, 160, 24)));
}

TEST_F(MenuTest, VanishedWindowIsDrawnAsQuestionMarksWithoutIcon)
{
    HWND w = Start("/title=Vanishing");
    ASSERT_TRUE(w);
    ASSERT_NE(nullptr, BuildPickerMenu());
    int id = 0;
    for (TrayEntry *e = PickerList.head; e; e = e->next)
        if (e->window == w)
            id = e->id;
    ASSERT_LT(id, 0);
    windows.back()->proc.Kill();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(w); }));
    EXPECT_EQ(0, Differences(DrawItem(id, 0, 160, 18), Reference(NULL, 1, "?????", false, 160, 18)));
    EXPECT_EQ(0, Differences(DrawItem(9999, ODS_SELECTED, 160, 18),
                             Reference(NULL, 1, "?????", true, 160, 18)));
}

// A real menu on the display: every item one size, icon and text where the
// drawing put them.
void CheckItemsOnScreen(HMENU menu, const std::vector<HWND> &shown)
{
    RECT first{};
    int count = GetMenuItemCount(menu);
    int drawn = 0;
    Pixels screen = GrabScreen(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    SIZE size = Measured();
    for (int i = 0; i < count; i++) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoA(menu, i, TRUE, &mii);
        if (!(mii.fType & MFT_OWNERDRAW))
            continue;
        RECT r;
        ASSERT_TRUE(GetMenuItemRect(NULL, menu, i, &r));   // a popup: its own window
        if (!drawn++)
            first = r;
        EXPECT_EQ(first.right - first.left, r.right - r.left) << i;
        EXPECT_EQ(first.bottom - first.top, r.bottom - r.top) << i;
        EXPECT_EQ(size.cy, r.bottom - r.top) << i;
        HWND w = TrayFindWindowAny((int)mii.dwItemData);
        if (std::find(shown.begin(), shown.end(), w) == shown.end())
            continue;
        // The icon: the pixels of the window's icon drawn on the menu colour.
        int iconY = r.top + (r.bottom - r.top - 15) / 2;
        ItemCanvas ref(16, 16);
        RECT all{0, 0, 16, 16};
        FillRect(ref.dc, &all, GetSysColorBrush(COLOR_MENU));
        DrawIconEx(ref.dc, 0, 0, GetWindowSmallIcon(w), 16, 16, 0, NULL, DI_NORMAL);
        Pixels icon = ref.Grab();
        int mismatch = 0;
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                mismatch += icon.At(x, y) != screen.At(r.left + 10 + x, iconY + y);
        EXPECT_EQ(0, mismatch) << "icon of item " << i;
        // Nothing between the icon and the text; the text begins at 30.
        DWORD menuColour = GetSysColor(COLOR_MENU);
        bool gapClear = true, text = false;
        for (int y = r.top; y < r.bottom; y++) {
            for (int x = r.left + 26; x < r.left + 30; x++)
                gapClear = gapClear && ToColorRef(screen.At(x, y)) == menuColour;
            for (int x = r.left + 30; x < r.left + 40; x++)
                text = text || ToColorRef(screen.At(x, y)) != menuColour;
        }
        EXPECT_TRUE(gapClear) << i;
        EXPECT_TRUE(text) << i;
    }
    EXPECT_GT(drawn, 0);
}

void CALLBACK ShootPickerAndClose(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    HWND menuWindow = OpenMenuWindow();
    if (menuWindow) {
        UpdateWindow(menuWindow);
        SaveShot(GrabMenu(menuWindow), "picker.bmp");
    }
    EndMenu();
}

TEST_F(MenuTest, RealMenusOnTheDisplay)
{
    HWND a = Start("/title=Notes");
    HWND b = Start("/title=\"Build log\"");
    HWND c = Start("/title=\"Mail - inbox\"");
    ASSERT_TRUE(a && b && c);
    int idA = Tray(a), idB = Tray(b);
    ASSERT_TRUE(idA && idB);

    // The tray menu, from a right-click on Zarn's own icon.
    SetCursorPos(420, 220);
    bool checked = false;
    ArmWhileOpen([&](HWND menuWindow) {
        CheckItemsOnScreen(LastBuiltPopup, {a, b});
        SaveShot(GrabMenu(menuWindow), "tray-menu.bmp");
        checked = true;
        return false;
    });
    SendMessageA(main, MSG_TRAY_MAIN, 1, WM_RBUTTONUP);
    ASSERT_TRUE(RanWhileOpen());
    EXPECT_TRUE(checked);

    // The per-window menu of a trayed window.
    ArmWhileOpen([&](HWND menuWindow) {
        SaveShot(GrabMenu(menuWindow), "window-menu.bmp");
        return false;
    });
    SendMessageA(main, MSG_TRAY_WINDOW, idA, WM_RBUTTONUP);
    ASSERT_TRUE(RanWhileOpen());

    // The picker, with a trayed and an untrayed window, second item selected.
    SetCursorPos(300, 180);
    HMENU picker = BuildPickerMenu();
    ASSERT_NE(nullptr, picker);
    checked = false;
    ArmWhileOpen([&](HWND menuWindow) {
        CheckItemsOnScreen(picker, {a, b, c});
        PostMenuKey(menuWindow, VK_DOWN);
        PostMenuKey(menuWindow, VK_DOWN);
        checked = true;
        return true;
    });
    // The selection needs the menu loop: take the picture on a later tick.
    UINT_PTR shot = SetTimer(NULL, 0, 300, ShootPickerAndClose);
    ShowPopupMenu(main, picker, 300, 180);
    KillTimer(NULL, shot);
    ASSERT_TRUE(RanWhileOpen());
    EXPECT_TRUE(checked);
}

}  // namespace
