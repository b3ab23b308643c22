/*
 * The window picker: every ordinary top-level window plus the trayed ones,
 * one menu sorted like the tray menu. Untrayed windows get negative ids in
 * the PickerList so that commands and drawing can find them again later.
 *
 * The owner-drawn items of both menus are measured and drawn here. All items
 * of a menu share one size; it is worked out once per tracked menu from the
 * titles alone (no process names are needed for a size).
 */
#include <windows.h>
#include <string.h>
#include "ZarnMsg.h"
#include "Main.h"
#include "Registry.h"
#include "Menus.h"
#include "Picker.h"

static int g_sizingDepth;
static int g_sizeKnown;
static SIZE g_itemSize;

void BeginMenuSizing(void)
{
    if (g_sizingDepth++ == 0)
        g_sizeKnown = 0;
}

void EndMenuSizing(void)
{
    if (g_sizingDepth > 0 && --g_sizingDepth == 0)
        g_sizeKnown = 0;
}

BOOL CALLBACK CollectPickerCandidate(HWND window, LPARAM param)
{
    PickerCandidates *candidates = (PickerCandidates *)param;
    if (candidates->count >= PICKER_MAX)
        return TRUE;

    WINDOWPLACEMENT placement;
    ZeroMemory(&placement, sizeof placement);
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    /* The restored rectangle, so that minimized windows are offered too. */
    const RECT *r = &placement.rcNormalPosition;
    if (r->right - r->left <= 10 || r->bottom - r->top <= 10)
        return TRUE;

    LONG style = GetWindowLongA(window, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & WS_POPUP) || (style & WS_DISABLED))
        return TRUE;

    char title[1024];
    title[0] = 0;
    GetWindowTextA(window, title, sizeof title - 1);
    if (!title[0])
        return TRUE;

    candidates->windows[candidates->count++] = window;
    return TRUE;
}

int ReplacePickerList(const PickerPair *pairs, int count)
{
    /* One record per allocation, as the registry frees them. */
    TrayEntry *head = NULL;
    int made = 0;
    for (int i = count - 1; i >= 0; i--) {
        TrayEntry *e = (TrayEntry *)HeapAlloc(GetProcessHeap(), 0, sizeof *e);
        if (!e)
            continue;
        made++;
        e->id = pairs[i].id;
        e->window = pairs[i].window;
        e->hook = NULL;
        e->next = head;
        head = e;
    }
    TrayLock();
    TrayEntry *old = PickerList.head;
    PickerList.head = head;
    PickerList.count = made;
    TrayUnlock();
    while (old) {
        TrayEntry *next = old->next;
        HeapFree(GetProcessHeap(), 0, old);
        old = next;
    }
    return count;
}

int SnapshotListedWindows(WindowListItem **out)
{
    *out = NULL;
    TrayLock();
    int room = g_tray.count + PickerList.count;
    if (room <= 0) {
        TrayUnlock();
        return 0;
    }
    WindowListItem *items = (WindowListItem *)HeapAlloc(GetProcessHeap(), 0, room * sizeof *items);
    int filled = 0;
    if (items) {
        filled = AppendWindowListItems(items, filled, g_tray.head);
        filled = AppendWindowListItems(items, filled, PickerList.head);
    }
    FillProcessNames(items, filled);
    TrayUnlock();
    return FinishWindowList(items, filled, out);
}

/* The trayed windows (Zarn's own left out), to tell them from the rest. */
static int CopyTrayedWindows(HWND *windows)
{
    HWND own = GetMainWindow();
    int count = 0;
    TrayLock();
    for (const TrayEntry *e = g_tray.head; e && count < TRAY_LAST_ID; e = e->next)
        if (e->window != own)
            windows[count++] = e->window;
    TrayUnlock();
    return count;
}

static int IsListed(HWND window, const HWND *windows, int count)
{
    for (int i = 0; i < count; i++)
        if (windows[i] == window)
            return 1;
    return 0;
}

HMENU BuildPickerMenu(void)
{
    if (IsTrackingPopupMenu())
        return NULL;
    HWND trayed[TRAY_LAST_ID];
    int trayedCount = CopyTrayedWindows(trayed);

    PickerCandidates candidates;
    candidates.count = 0;
    EnumWindows(CollectPickerCandidate, (LPARAM)&candidates);
    if (candidates.count > 0) {
        PickerPair pairs[PICKER_MAX];
        int count = 0;
        for (int i = 0; i < candidates.count; i++) {
            if (IsListed(candidates.windows[i], trayed, trayedCount))
                continue;
            pairs[count].id = -(count + 1);
            pairs[count].window = candidates.windows[i];
            count++;
        }
        ReplacePickerList(pairs, count);
    }

    WindowListItem *items;
    int listed = SnapshotListedWindows(&items);
    if (!listed)
        return NULL;
    HMENU popup = CreatePopupMenu();
    for (int k = 0; k < listed; k++) {
        int id = items[k].id;
        InsertWindowMenuItem(popup, (UINT)k, &items[k],
                             (UINT)(id > 0 ? IDM_WINDOW_BASE + id : IDM_PICKER_BASE - id));
    }
    FreeWindowList(items);
    if (LastBuiltPopup)
        DestroyMenu(LastBuiltPopup);
    LastBuiltPopup = popup;
    return popup;
}

/* Widest and tallest title over every listed window, the main window's own
   record left out; an empty or vanished title still counts (as ""). */
static int MeasureListedTitles(SIZE *largest)
{
    HDC dc = CreateCompatibleDC(NULL);
    if (!dc)
        return 0;
    HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetMapMode(dc, MM_TEXT);
    largest->cx = 0;
    largest->cy = 16;
    HWND own = GetMainWindow();
    TrayLock();
    const TrayEntry *lists[2] = {g_tray.head, PickerList.head};
    for (int l = 0; l < 2; l++) {
        for (const TrayEntry *e = lists[l]; e; e = e->next) {
            if (e->window == own)
                continue;
            char title[LIST_TITLE_SIZE];
            title[0] = 0;
            GetWindowTextA(e->window, title, LIST_TITLE_SIZE - 1);
            SIZE extent = {0, 0};
            GetTextExtentPoint32A(dc, title, (int)strlen(title), &extent);
            if (extent.cx > largest->cx)
                largest->cx = extent.cx;
            if (extent.cy > largest->cy)
                largest->cy = extent.cy;
        }
    }
    TrayUnlock();
    SelectObject(dc, previous);
    DeleteDC(dc);
    return 1;
}

int MeasureWindowMenuItem(MEASUREITEMSTRUCT *mis)
{
    if (!g_sizeKnown) {
        if (!MeasureListedTitles(&g_itemSize))
            return 0;
        g_sizeKnown = g_sizingDepth > 0;   /* outside a tracked menu: every time */
    }
    mis->itemWidth = (UINT)(g_itemSize.cx + 20);
    mis->itemHeight = (UINT)(g_itemSize.cy + 2);
    return 1;
}

void DrawWindowMenuItem(const DRAWITEMSTRUCT *dis)
{
    HWND window = TrayFindWindowAny((int)(LONG_PTR)dis->itemData);
    if (window && !IsWindow(window))
        window = NULL;
    HICON icon = window ? GetWindowSmallIcon(window) : NULL;
    int selected = (dis->itemState & ODS_SELECTED) != 0;

    RECT rc = dis->rcItem;
    FillRect(dis->hDC, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (icon)
        DrawIconEx(dis->hDC, rc.left + 10, rc.top + (rc.bottom - rc.top - 15) / 2, icon,
                   16, 16, 0, NULL, DI_NORMAL);
    SetTextColor(dis->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    SetBkColor(dis->hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));

    char title[LIST_TITLE_SIZE];
    if (window) {
        title[0] = 0;
        GetWindowTextA(window, title, LIST_TITLE_SIZE - 1);
    } else {
        lstrcpyA(title, "?????");
    }
    rc.left += 30;
    DrawTextA(dis->hDC, title, -1, &rc, DT_SINGLELINE | DT_VCENTER);
}
