/*
 * The tray registry and the notification icons. The only module that talks
 * to the shell's notification area (through NotifyShell).
 */
#include <windows.h>
#include <shellapi.h>
#include <string.h>
#include "ZarnMsg.h"
#include "Main.h"
#include "Registry.h"
#include "Notify.h"
#include "Actions.h"

TrayRegistry g_tray;
PickerListHead PickerList;

void TrayLock(void) { EnterCriticalSection(&g_tray.lock); }
void TrayUnlock(void) { LeaveCriticalSection(&g_tray.lock); }

static TrayEntry *FindById(TrayEntry *e, int id)
{
    while (e && e->id != id)
        e = e->next;
    return e;
}

static TrayEntry *FindByWindow(TrayEntry *e, HWND window)
{
    while (e && e->window != window)
        e = e->next;
    return e;
}

static void FreeEntries(TrayEntry *e)
{
    while (e) {
        TrayEntry *next = e->next;
        HeapFree(GetProcessHeap(), 0, e);
        e = next;
    }
}

/* A zero-filled first-form request: the size every shell understands. */
static void InitNotifyData(NOTIFYICONDATAA *nid, HWND owner, int id, UINT flags)
{
    ZeroMemory(nid, sizeof *nid);
    nid->cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid->hWnd = owner;
    nid->uID = (UINT)id;
    nid->uFlags = flags;
}

static UINT CallbackFor(int id)
{
    return id == TRAY_FIRST_ID ? MSG_TRAY_MAIN : MSG_TRAY_WINDOW;
}

static void CopyTip(char *tip, const char *text)
{
    lstrcpynA(tip, text ? text : "", TRAY_TIP_SIZE);
}

void TrayRegistryInit(void)
{
    g_tray.head = NULL;
    g_tray.count = 0;
    PickerList.head = NULL;
    PickerList.count = 0;
    InitializeCriticalSection(&g_tray.lock);
}

void TrayRegistryFree(void)
{
    TrayLock();
    FreeEntries(g_tray.head);   /* hooks die with the process */
    g_tray.head = NULL;
    g_tray.count = 0;
    FreeEntries(PickerList.head);
    PickerList.head = NULL;
    PickerList.count = 0;
    TrayUnlock();
    DeleteCriticalSection(&g_tray.lock);
}

int TrayAllocId(void)
{
    int result = 0;
    TrayLock();
    for (int id = TRAY_FIRST_ID; id <= TRAY_LAST_ID && !result; id++)
        if (!FindById(g_tray.head, id))
            result = id;
    TrayUnlock();
    return result;
}

TrayEntry *TrayInsertEntry(int id, HWND window, int hook)
{
    TrayEntry *e = (TrayEntry *)HeapAlloc(GetProcessHeap(), 0, sizeof *e);
    if (!e)
        return NULL;
    e->id = id;
    e->window = window;
    e->hook = hook ? HookWindow(window) : NULL;
    TrayLock();
    e->next = g_tray.head;
    g_tray.head = e;
    g_tray.count++;
    TrayUnlock();
    return e;
}

void TrayRemoveId(int id)
{
    TrayLock();
    TrayEntry **link = &g_tray.head;
    while (*link && (*link)->id != id)
        link = &(*link)->next;
    TrayEntry *e = *link;
    if (e) {
        *link = e->next;
        if (e->hook)
            UnhookWindow(e->hook);
        HeapFree(GetProcessHeap(), 0, e);
        g_tray.count--;
    }
    TrayUnlock();
}

int TrayAddIcon(HWND owner, HWND window, HICON icon, const char *text)
{
    TrayLock();
    TrayEntry *known = FindByWindow(g_tray.head, window);
    int knownId = known ? known->id : 0;
    TrayUnlock();
    if (knownId)
        return knownId;

    int id = TrayAllocId();
    if (!id)
        return 0;
    if (!TrayInsertEntry(id, window, owner == NULL))
        return 0;

    NOTIFYICONDATAA nid;
    InitNotifyData(&nid, owner ? owner : GetMainWindow(), id, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    nid.uCallbackMessage = CallbackFor(id);
    nid.hIcon = icon;
    CopyTip(nid.szTip, text);
    return NotifyShell(NIM_ADD, &nid) ? id : 0;
}

int TrayFindId(HWND window)
{
    TrayLock();
    TrayEntry *e = FindByWindow(g_tray.head, window);
    int id = e ? e->id : 0;
    TrayUnlock();
    return id;
}

/* Looks a window up by id; a window that has gone drops its record. */
static HWND CheckAlive(HWND window)
{
    if (!window)
        return NULL;
    if (IsWindow(window))
        return window;
    TrayRemoveWindow(window);
    return NULL;
}

HWND TrayFindWindow(int id)
{
    TrayLock();
    TrayEntry *e = FindById(g_tray.head, id);
    HWND window = e ? e->window : NULL;
    TrayUnlock();
    return CheckAlive(window);
}

HWND TrayFindWindowAny(int id)
{
    if (id >= 0)
        return TrayFindWindow(id);
    TrayLock();
    TrayEntry *e = FindById(PickerList.head, id);
    HWND window = e ? e->window : NULL;
    TrayUnlock();
    return CheckAlive(window);
}

void TrayRemoveWindow(HWND window)
{
    int id = TrayFindId(window);
    if (!id)
        return;
    TrayRemoveId(id);

    NOTIFYICONDATAA nid;
    InitNotifyData(&nid, GetMainWindow(), id, 0);
    NotifyShell(NIM_DELETE, &nid);

    if (id == TRAY_FIRST_ID) {
        /* Zarn's own icon is going: give every trayed window back, newest first. */
        for (;;) {
            TrayLock();
            int next = g_tray.head ? g_tray.head->id : 0;
            TrayUnlock();
            if (!next)
                break;
            TrayRestoreById(next, 1);
            /* Normally gone now (restored, or dropped as dead by the lookup);
               never let one stubborn record spin this loop. */
            TrayLock();
            int stuck = g_tray.head && g_tray.head->id == next;
            TrayUnlock();
            if (stuck)
                TrayRemoveId(next);
        }
    }
}

void TrayRestoreById(int id, int removeFromTray)
{
    RestoreWindow(TrayFindWindow(id), removeFromTray);
}

/* Where icon handles do not cross processes (Wine), another program's icon
   reads as nothing here and would leave its notification icon blank. */
static int IsDrawableIcon(HICON icon)
{
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return 1;
}

void TraySetIcon(HWND window, HICON icon)
{
    int id = TrayFindId(window);
    if (!id)
        return;
    if (!IsDrawableIcon(icon))
        icon = GetWindowSmallIcon(window);
    if (!icon)
        return;
    NOTIFYICONDATAA nid;
    InitNotifyData(&nid, GetMainWindow(), id, NIF_ICON);
    nid.hIcon = icon;
    NotifyShell(NIM_MODIFY, &nid);
}

void TraySetTip(HWND window, const char *text)
{
    int id = TrayFindId(window);
    if (!id)
        return;
    NOTIFYICONDATAA nid;
    InitNotifyData(&nid, GetMainWindow(), id, NIF_TIP);
    CopyTip(nid.szTip, text);
    NotifyShell(NIM_MODIFY, &nid);
}

void TrayReAddAll(void)
{
    TrayLock();
    for (TrayEntry *e = g_tray.head; e; e = e->next) {
        for (int attempt = 0; attempt < TRAY_READD_TRIES; attempt++) {
            NOTIFYICONDATAA nid;
            InitNotifyData(&nid, GetMainWindow(), e->id, NIF_MESSAGE | NIF_ICON | NIF_TIP);
            nid.uCallbackMessage = CallbackFor(e->id);
            nid.hIcon = GetWindowSmallIcon(e->window);
            GetWindowTextA(e->window, nid.szTip, TRAY_TIP_SIZE);
            if (NotifyShell(NIM_ADD, &nid))
                break;
        }
    }
    TrayUnlock();
}

/* Program-file icons, loaded once per file and kept until Zarn ends. */
typedef struct FileIcon {
    struct FileIcon *next;
    HICON icon;
    char path[MAX_PATH];
} FileIcon;

static FileIcon *g_fileIcons;

static HICON GetProgramFileIcon(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return NULL;
    char path[MAX_PATH];
    DWORD size = sizeof path;
    BOOL ok = QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    if (!ok)
        return NULL;

    for (FileIcon *f = g_fileIcons; f; f = f->next)
        if (lstrcmpiA(f->path, path) == 0)
            return f->icon;

    FileIcon *f = (FileIcon *)HeapAlloc(GetProcessHeap(), 0, sizeof *f);
    if (!f)
        return NULL;
    f->icon = NULL;
    lstrcpynA(f->path, path, MAX_PATH);
    ExtractIconExA(path, 0, NULL, &f->icon, 1);
    f->next = g_fileIcons;
    g_fileIcons = f;
    return f->icon;
}

static HICON AskIcon(HWND window, WPARAM which)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_GETICON, which, 0, SMTO_ABORTIFHUNG,
                             ICON_QUERY_TIMEOUT, &answer))
        return NULL;
    return (HICON)answer;
}

HICON GetWindowSmallIcon(HWND window)
{
    HICON icon = AskIcon(window, ICON_SMALL);
    if (!icon)
        icon = (HICON)GetClassLongPtrA(window, GCLP_HICONSM);
    if (!icon)
        icon = AskIcon(window, ICON_BIG);
    if (!icon)
        icon = (HICON)GetClassLongPtrA(window, GCLP_HICON);
    if (!icon)
        icon = GetProgramFileIcon(window);
    return icon;
}
