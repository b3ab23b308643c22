/*
 * Zarn's main window procedure. Windows named by id are looked up again when
 * a command arrives: the procedure is re-entered while menus are open and
 * while it waits inside SendMessage, and other programs' windows may vanish.
 */
#include <windows.h>
#include <shellapi.h>
#include <string.h>
#include "ZarnMsg.h"
#include "Main.h"
#include "Registry.h"
#include "WndProc.h"
#include "Actions.h"
#include "Menus.h"
#include "Picker.h"
#include "Launch.h"

/* WM_COPYDATA may come from anybody: take at most cbData bytes, up to the
   first zero byte, into a block of our own that is always terminated. */
static char *CopyDataText(const COPYDATASTRUCT *cds)
{
    if (!cds)
        return NULL;
    const char *src = (const char *)cds->lpData;
    size_t len = 0;
    if (src)
        while (len < cds->cbData && src[len])
            len++;
    char *text = (char *)HeapAlloc(GetProcessHeap(), 0, len + 1);
    if (!text)
        return NULL;
    if (len)
        memcpy(text, src, len);
    text[len] = 0;
    return text;
}

static void OnCopyData(HWND sender, const COPYDATASTRUCT *cds)
{
    if (!cds || (cds->dwData != COPYDATA_LAUNCH && cds->dwData != COPYDATA_TITLE))
        return;
    char *text = CopyDataText(cds);
    if (!text)
        return;
    if (cds->dwData == COPYDATA_LAUNCH)
        LaunchAndTray(text);
    else
        TraySetTip(sender, text);
    HeapFree(GetProcessHeap(), 0, text);
}

static void CloseZarn(HWND window)
{
    TrayRemoveWindow(window);
    DestroyWindow(window);
}

/* WM_COMMAND, and WM_SYSCOMMAND other than SC_CLOSE (msg tells which). */
static LRESULT OnCommand(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    unsigned command = LOWORD(wParam);
    switch (command) {
    case IDM_CLOSE_ZARN:
        CloseZarn(window);
        return 0;
    case IDM_RESTORE:
        TrayRestoreById(GetMenuWindowId(WindowPopup), 0);
        return 0;
    case IDM_CLOSE_WINDOW:
        SendMessageA(TrayFindWindow(GetMenuWindowId(WindowPopup)), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case IDM_UNTRAY:
        TrayRestoreById(GetMenuWindowId(WindowPopup), 1);
        return 0;
    case IDM_MINIMIZE: {
        HWND target = TrayFindWindow(GetMenuWindowId(WindowPopup));
        if (target && (GetWindowLongA(target, GWL_STYLE) & WS_VISIBLE))
            ShowWindow(target, SW_MINIMIZE);
        return 0;
    }
    case IDM_TOPMOST: {
        HWND target = TrayFindWindow(GetMenuWindowId(WindowPopup));
        if (target)
            ToggleTopMost(target);
        return 0;
    }
    }
    if (command > IDM_WINDOW_BASE && command <= IDM_PICKER_BASE)
        TrayRestoreById((int)command - IDM_WINDOW_BASE, 0);
    else if (command > IDM_PICKER_BASE)
        TrayRestoreByIdAny(IDM_PICKER_BASE - (int)command, 0);
    return DefWindowProcA(window, msg, wParam, lParam);
}

LRESULT CALLBACK ZarnWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        /* GetMainWindow is still null here: the window owns its own icon. */
        TrayAddIcon(window, window, GetSmallIcon(), ZARN_WINDOW_NAME);
        break;
    case WM_DESTROY:
        TrayRemoveWindow(window);
        PostQuitMessage(0);
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DRAWITEM:
        if (lParam && ((const DRAWITEMSTRUCT *)lParam)->CtlType == ODT_MENU) {
            DrawWindowMenuItem((const DRAWITEMSTRUCT *)lParam);
            return 1;
        }
        break;
    case WM_MEASUREITEM:
        if (lParam && ((MEASUREITEMSTRUCT *)lParam)->CtlType == ODT_MENU &&
            MeasureWindowMenuItem((MEASUREITEMSTRUCT *)lParam))
            return 1;
        break;
    case WM_COPYDATA:
        OnCopyData((HWND)wParam, (const COPYDATASTRUCT *)lParam);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE) {
            CloseZarn(window);
            return 0;
        }
        return OnCommand(window, msg, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, msg, wParam, lParam);
    case WM_HOTKEY: {
        HWND target = FindFocusedTopLevelWindow();
        if (target)
            RunHotkeyAction(target, (int)wParam);
        break;
    }
    case MSG_TRAY_MAIN:
        if (lParam == WM_RBUTTONUP) {
            POINT pt;
            GetCursorPos(&pt);
            ShowPopupMenu(window, BuildTrayMenu(), pt.x, pt.y);
        }
        break;
    case MSG_TRAY_WINDOW:
        if (lParam == WM_LBUTTONDBLCLK)
            TrayRestoreById((int)wParam, 0);
        else if (lParam == WM_RBUTTONUP)
            ShowWindowPopup(window, (int)wParam);
        return 0;
    case MSG_ICON_CHANGED:
        TraySetIcon((HWND)wParam, (HICON)lParam);
        return 0;
    case MSG_WINDOW_DESTROYED:
        TrayRemoveWindow((HWND)wParam);
        break;
    case MSG_WINDOW_MINIMIZED:
        return HideTrayedWindow((HWND)wParam);
    case MSG_WINDOW_LAUNCHED:
        TrayInWindow((HWND)wParam);
        return 0;
    case MSG_IS_MANAGED:
        return 1;
    case MSG_START_COMMAND: {
        /* Only the block Zarn posted itself; anyone may post this number. */
        char *block = TakeStartCommand(lParam);
        if (block && wParam == START_LAUNCH)
            LaunchAndTray(block);
        if (block)
            LocalFree(block);
        break;
    }
    default:
        if (msg == GetTaskbarCreatedMessage() && msg != 0)
            TrayReAddAll();
        break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}
