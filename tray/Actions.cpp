/*
 * Window actions: restore, tray in, hide, minimize, always on top, and the
 * search for the top-level window that holds the keyboard focus.
 */
#include <windows.h>
#include "ZarnMsg.h"
#include "Main.h"
#include "Registry.h"
#include "Actions.h"
#include "Hotkeys.h"
#include "Menus.h"
#include "Picker.h"

/* The hook reports a minimized window's WM_ACTIVATE, and a restore passes
   through the minimized state: reports about this window queued meanwhile
   are stale and would hide it again. Reports about other windows are
   handled now, as the window procedure would. */
static void DropMinimizedReports(HWND window)
{
    HWND zarn = GetMainWindow();
    MSG msg;
    if (!zarn)
        return;
    while (PeekMessageA(&msg, zarn, MSG_WINDOW_MINIMIZED, MSG_WINDOW_MINIMIZED,
                        PM_REMOVE | PM_QS_POSTMESSAGE))
        if ((HWND)msg.wParam != window)
            HideTrayedWindow((HWND)msg.wParam);
}

void RestoreWindow(HWND window, int removeFromTray)
{
    if (!window)
        return;
    if (removeFromTray)
        TrayRemoveWindow(window);
    if (IsWindowVisible(window)) {
        if (IsIconic(window))
            ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
    } else {
        /* Through the minimized state so that SW_RESTORE activates it. */
        ShowWindow(window, SW_SHOWMINIMIZED);
        ShowWindow(window, SW_RESTORE);
    }
    DropMinimizedReports(window);
}

void TrayRestoreByIdAny(int id, int removeFromTray)
{
    HWND window = TrayFindWindowAny(id);
    if (window)
        RestoreWindow(window, removeFromTray);
}

int HideTrayedWindow(HWND window)
{
    if (!TrayFindId(window))
        return 0;
    ShowWindow(window, SW_HIDE);
    return 1;
}

int HasSystemMenu(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) >> 19) & 1;
}

int TrayInWindow(HWND window)
{
    if (!HasSystemMenu(window))
        return 0;
    HICON icon = GetWindowSmallIcon(window);
    if (!icon)
        return 0;
    char title[TRAY_TIP_SIZE];
    title[0] = 0;
    GetWindowTextA(window, title, TRAY_TIP_SIZE - 1);
    if (!TrayAddIcon(NULL, window, icon, title))
        return 0;
    if (GetWindowLongA(window, GWL_STYLE) & WS_MINIMIZE)
        HideTrayedWindow(window);
    else
        ShowWindow(window, SW_MINIMIZE);   /* the hook's report hides it */
    return 1;
}

void ToggleTopMost(HWND window)
{
    HWND after = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? HWND_NOTOPMOST
                                                                       : HWND_TOPMOST;
    SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

static BOOL CALLBACK MatchFocusOwner(HWND candidate, LPARAM param)
{
    HWND *result = (HWND *)param;
    DWORD self = GetCurrentThreadId();
    DWORD other = GetWindowThreadProcessId(candidate, NULL);
    if (!self || !other)
        return TRUE;
    int attached = self != other;
    if (attached && !AttachThreadInput(self, other, TRUE))
        return TRUE;
    HWND focus = GetFocus();
    if (focus) {
        HWND parent;
        while ((parent = GetParent(focus)) != NULL)
            focus = parent;
        if (focus == candidate)
            *result = candidate;
    }
    if (attached)
        AttachThreadInput(self, other, FALSE);
    return *result == NULL;
}

HWND FindFocusedTopLevelWindow(void)
{
    HWND result = NULL;
    EnumWindows(MatchFocusOwner, (LPARAM)&result);
    return result;
}

int RunHotkeyAction(HWND window, int id)
{
    switch (id) {
    case HOTKEY_MINIMIZE:
        if (HasSystemMenu(window) &&
            SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, (LPARAM)-1))
            ShowWindow(window, SW_MINIMIZE);
        break;
    case HOTKEY_TRAYIN:
        if (TrayFindId(window))
            RestoreWindow(window, 1);
        else
            TrayInWindow(window);
        break;
    case HOTKEY_TOPMOST:
        ToggleTopMost(window);
        break;
    case HOTKEY_WINSELECT: {
        POINT pt;
        GetCursorPos(&pt);
        ShowPopupMenu(GetMainWindow(), BuildPickerMenu(), pt.x, pt.y);
        break;
    }
    }
    return 1;
}
