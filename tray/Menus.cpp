/*
 * The tray menus. The tray menu is built afresh from the registry each time;
 * the per-window menu is popup 1 of the resource itself, carrying the id of
 * its window in the data of its first item.
 *
 * Process names come from one Toolhelp snapshot per list, not one per
 * window: with a few hundred windows a snapshot per item is what makes a
 * menu slow to appear.
 */
#include <windows.h>
#include <tlhelp32.h>
#include <stdlib.h>
#include <string.h>
#include "ZarnMsg.h"
#include "Main.h"
#include "Registry.h"
#include "Menus.h"
#include "Picker.h"

HMENU TrayPopup;
HMENU WindowPopup;
HMENU LastBuiltPopup;

static HMENU g_menu;
static int g_tracking;   /* depth of TrackPopupMenu calls under way */

typedef HANDLE (WINAPI *SnapshotProc)(DWORD, DWORD);
typedef BOOL (WINAPI *WalkProc)(HANDLE, PROCESSENTRY32 *);

static HMODULE g_kernel;
static SnapshotProc g_createSnapshot;
static WalkProc g_processFirst;
static WalkProc g_processNext;

void LoadTrayMenus(HINSTANCE instance)
{
    g_menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_TRAYMENU));
    TrayPopup = GetSubMenu(g_menu, 0);
    WindowPopup = GetSubMenu(g_menu, 1);
}

void DestroyTrayMenus(void)
{
    if (g_menu)
        DestroyMenu(g_menu);
    g_menu = NULL;
    TrayPopup = NULL;
    WindowPopup = NULL;
    /* The last built popup goes too, so no stale handle outlives the menus. */
    if (LastBuiltPopup)
        DestroyMenu(LastBuiltPopup);
    LastBuiltPopup = NULL;
}

int IsTrackingPopupMenu(void) { return g_tracking > 0; }

/* Toolhelp exists only on Windows 95 and later and on NT 5 and later. */
static int ToolhelpUsable(void)
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (version.dwMajorVersion < 4)
            return 0;
    } else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (version.dwMajorVersion < 5)
            return 0;
    } else {
        return 0;
    }
    if (!g_kernel) {
        g_kernel = GetModuleHandleA("Kernel32.dll");
        if (!g_kernel)
            return 0;
        g_createSnapshot = (SnapshotProc)(void *)GetProcAddress(g_kernel, "CreateToolhelp32Snapshot");
        g_processFirst = (WalkProc)(void *)GetProcAddress(g_kernel, "Process32First");
        g_processNext = (WalkProc)(void *)GetProcAddress(g_kernel, "Process32Next");
    }
    return g_createSnapshot && g_processFirst && g_processNext;
}

/* Walks one process snapshot; visit returns 0 to stop early. */
static void WalkProcesses(int (*visit)(const PROCESSENTRY32 *, void *), void *context)
{
    HANDLE snapshot = g_createSnapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    BOOL more = g_processFirst(snapshot, &entry);
    while (more && visit(&entry, context)) {
        entry.dwSize = sizeof entry;
        more = g_processNext(snapshot, &entry);
    }
    CloseHandle(snapshot);
}

typedef struct NameQuery {
    DWORD pid;
    char *out;
    int found;
} NameQuery;

static int MatchOne(const PROCESSENTRY32 *entry, void *context)
{
    NameQuery *q = (NameQuery *)context;
    if (entry->th32ProcessID != q->pid)
        return 1;
    lstrcpynA(q->out, entry->szExeFile, LIST_NAME_SIZE);
    q->found = 1;
    return 0;
}

int GetProcessExeName(HWND window, char *out)
{
    NameQuery q = {0, out, 0};
    GetWindowThreadProcessId(window, &q.pid);
    /* A window that is gone has no process (and pid 0 is not a program). */
    if (!q.pid || !ToolhelpUsable())
        return 0;
    WalkProcesses(MatchOne, &q);
    return q.found;
}

typedef struct NameList {
    WindowListItem *items;
    DWORD *pids;      /* 0 once named, or for a window that is gone */
    int count;
    int unnamed;
} NameList;

static int MatchAll(const PROCESSENTRY32 *entry, void *context)
{
    NameList *list = (NameList *)context;
    for (int i = 0; i < list->count; i++) {
        if (list->pids[i] != entry->th32ProcessID || !list->pids[i])
            continue;
        lstrcpynA(list->items[i].processName, entry->szExeFile, LIST_NAME_SIZE);
        list->pids[i] = 0;
        list->unnamed--;
    }
    return list->unnamed > 0;
}

void FillProcessNames(WindowListItem *items, int count)
{
    for (int i = 0; i < count; i++)
        items[i].processName[0] = 0;
    if (count <= 0 || !ToolhelpUsable())
        return;
    NameList list = {items, (DWORD *)HeapAlloc(GetProcessHeap(), 0, count * sizeof(DWORD)), count, 0};
    if (!list.pids)
        return;
    for (int i = 0; i < count; i++) {
        list.pids[i] = 0;
        GetWindowThreadProcessId(items[i].window, &list.pids[i]);
        if (list.pids[i])
            list.unnamed++;
    }
    if (list.unnamed)
        WalkProcesses(MatchAll, &list);
    HeapFree(GetProcessHeap(), 0, list.pids);
}

static int FoldByte(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int CompareWindowListItems(const WindowListItem *a, const WindowListItem *b)
{
    /* Byte by byte on purpose: the same folding whatever the code page. */
    const unsigned char *p = (const unsigned char *)a->processName;
    const unsigned char *q = (const unsigned char *)b->processName;
    for (;; p++, q++) {
        int d = FoldByte(*p) - FoldByte(*q);
        if (d)
            return d;
        if (!*p)
            break;
    }
    int t = strcmp(a->title, b->title);
    return t < 0 ? -1 : t > 0;
}

static int CompareForSort(const void *a, const void *b)
{
    return CompareWindowListItems((const WindowListItem *)a, (const WindowListItem *)b);
}

void SortWindowList(WindowListItem *items, int count)
{
    if (count > 1)
        qsort(items, (size_t)count, sizeof *items, CompareForSort);
}

int AppendWindowListItems(WindowListItem *items, int filled, const TrayEntry *head)
{
    HWND own = GetMainWindow();
    for (const TrayEntry *e = head; e; e = e->next) {
        if (e->window == own)
            continue;
        WindowListItem *item = &items[filled++];
        item->id = e->id;
        item->window = e->window;
        item->title[0] = 0;
        GetWindowTextA(e->window, item->title, LIST_TITLE_SIZE - 1);
        item->processName[0] = 0;
    }
    return filled;
}

void FreeWindowList(WindowListItem *items)
{
    if (items)
        HeapFree(GetProcessHeap(), 0, items);
}

int SnapshotTrayedWindows(WindowListItem **out)
{
    *out = NULL;
    TrayLock();
    if (g_tray.count <= 0) {
        TrayUnlock();
        return 0;
    }
    WindowListItem *items = (WindowListItem *)HeapAlloc(GetProcessHeap(), 0,
                                                        g_tray.count * sizeof *items);
    int filled = items ? AppendWindowListItems(items, 0, g_tray.head) : 0;
    FillProcessNames(items, filled);
    TrayUnlock();
    return FinishWindowList(items, filled, out);
}

void InsertWindowMenuItem(HMENU menu, UINT position, const WindowListItem *item, UINT command)
{
    MENUITEMINFOA mii;
    ZeroMemory(&mii, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
    mii.fType = MFT_OWNERDRAW;
    mii.dwTypeData = (LPSTR)item->title;
    mii.cch = (UINT)strlen(item->title);
    mii.dwItemData = (ULONG_PTR)(LONG_PTR)item->id;
    mii.wID = command;
    InsertMenuItemA(menu, position, TRUE, &mii);
}

int FinishWindowList(WindowListItem *items, int filled, WindowListItem **out)
{
    if (!filled) {
        FreeWindowList(items);
        return 0;
    }
    SortWindowList(items, filled);
    *out = items;
    return filled;
}

/* Builders replace the previous popup; never the one that is open now. */
static int MayBuildPopup(void) { return !IsTrackingPopupMenu(); }

HMENU BuildTrayMenu(void)
{
    if (!MayBuildPopup())
        return NULL;
    WindowListItem *items;
    int count = SnapshotTrayedWindows(&items);
    if (!count)
        return TrayPopup;

    HMENU popup = CreatePopupMenu();
    int position = 0;
    int total = GetMenuItemCount(TrayPopup);
    for (int i = 0; i < total; i++) {
        char text[256];
        MENUITEMINFOA mii;
        ZeroMemory(&mii, sizeof mii);
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_TYPE;
        mii.dwTypeData = text;
        mii.cch = sizeof text - 1;
        text[0] = 0;
        if (!GetMenuItemInfoA(TrayPopup, (UINT)i, TRUE, &mii))
            continue;
        if (mii.fType == MFT_STRING && mii.wID == IDM_WINDOW_BASE) {
            for (int k = 0; k < count; k++)
                InsertWindowMenuItem(popup, (UINT)position++, &items[k],
                                     (UINT)(IDM_WINDOW_BASE + items[k].id));
        } else {
            mii.dwTypeData = text;
            mii.cch = (UINT)strlen(text);
            InsertMenuItemA(popup, (UINT)position++, TRUE, &mii);
        }
    }
    FreeWindowList(items);
    if (LastBuiltPopup)
        DestroyMenu(LastBuiltPopup);
    LastBuiltPopup = popup;
    return popup;
}

int SetMenuWindowId(HMENU menu, int id)
{
    MENUITEMINFOA mii;
    ZeroMemory(&mii, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_DATA;
    mii.dwItemData = (ULONG_PTR)(LONG_PTR)id;
    return SetMenuItemInfoA(menu, 0, TRUE, &mii) != 0;
}

int GetMenuWindowId(HMENU menu)
{
    MENUITEMINFOA mii;
    ZeroMemory(&mii, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(menu, 0, TRUE, &mii))
        return 0;
    return (int)mii.dwItemData;
}

int SetMenuItemStateById(HMENU menu, UINT command, int enabled, int isDefault)
{
    MENUITEMINFOA mii;
    ZeroMemory(&mii, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STATE;
    mii.fState = (enabled ? 0 : MFS_DISABLED) | (isDefault ? MFS_DEFAULT : 0);
    return SetMenuItemInfoA(menu, command, FALSE, &mii) != 0;
}

void ShowWindowPopup(HWND owner, int id)
{
    POINT pt;
    GetCursorPos(&pt);
    SetMenuWindowId(WindowPopup, id);

    LONG style = GetWindowLongA(TrayFindWindow(id), GWL_STYLE);
    if (style & WS_VISIBLE) {
        SetMenuItemStateById(WindowPopup, IDM_MINIMIZE, 1, 0);
        SetMenuItemStateById(WindowPopup, IDM_RESTORE, 0, 1);
    } else {
        SetMenuItemStateById(WindowPopup, IDM_RESTORE, 1, 1);
        SetMenuItemStateById(WindowPopup, IDM_MINIMIZE, 0, 0);
    }

    LONG exStyle = GetWindowLongA(TrayFindWindow(id), GWL_EXSTYLE);
    MENUITEMINFOA mii;
    ZeroMemory(&mii, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STATE;
    if (GetMenuItemInfoA(WindowPopup, IDM_TOPMOST, FALSE, &mii)) {
        if (exStyle & WS_EX_TOPMOST)
            mii.fState |= MFS_CHECKED;
        else
            mii.fState &= ~MFS_CHECKED;
        SetMenuItemInfoA(WindowPopup, IDM_TOPMOST, FALSE, &mii);
    } else {
        EnableMenuItem(WindowPopup, IDM_TOPMOST, MF_BYCOMMAND | MF_ENABLED);
    }
    ShowPopupMenu(owner, WindowPopup, pt.x, pt.y);
}

void ShowPopupMenu(HWND owner, HMENU menu, int x, int y)
{
    if (!menu)
        return;
    if (!owner)
        owner = GetMainWindow();
    if (!owner)
        return;
    SetForegroundWindow(owner);
    g_tracking++;
    BeginMenuSizing();
    TrackPopupMenu(menu, 0, x, y, 0, owner, NULL);
    EndMenuSizing();
    g_tracking--;
    PostMessageA(owner, WM_NULL, 0, 0);
}
