/*
 * A small window program for the tests, with switchable styles:
 *   /title=TEXT /nosysmenu /popup /disabled /tiny /min /hidden /late=MS
 *   /child /owned /sysret=N /log=FILE /handoff=CMD /exitafter=MS /noshow-icon
 *   /busy=MS (not ready for input for MS ms at start) /ticks (log start and
 *   ready tick counts) /cmdshow (show the window as WinMain's nCmdShow says)
 * It logs the messages tests care about to FILE, one line each.
 */
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "testwin.h"

static char g_title[256] = "Zarn Test Window";
static char g_log[MAX_PATH];
static HWND g_child, g_owned, g_ownedEdit;
static LRESULT g_sysResult;
static int g_lateMs;

static void Log(const char *fmt, ...)
{
    if (!g_log[0])
        return;
    FILE *f = fopen(g_log, "a");
    if (!f)
        return;
    va_list ap;
    va_start(ap, fmt);
    vfprintf(f, fmt, ap);
    va_end(ap);
    fputc('\n', f);
    fclose(f);
}

static const char *Option(const char *name)
{
    size_t n = strlen(name);
    for (int i = 1; i < __argc; i++)
        if (_strnicmp(__argv[i], name, n) == 0 && (__argv[i][n] == 0 || __argv[i][n] == '='))
            return __argv[i][n] == '=' ? __argv[i] + n + 1 : "";
    return NULL;
}

static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SYSCOMMAND:
        Log("syscommand %04x %ld", (unsigned)(wp & 0xFFF0), (long)lp);
        if ((wp & 0xFFF0) == SC_MINIMIZE && g_sysResult)
            return g_sysResult;
        break;
    case WM_SIZE:
        Log("size %u", (unsigned)wp);
        break;
    case WM_SHOWWINDOW:
        Log("showwindow %u", (unsigned)wp);
        break;
    case WM_TIMER:
        KillTimer(hwnd, wp);
        if (wp == 1)
            ShowWindow(hwnd, Option("/min") ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
        else if (wp == 2)
            DestroyWindow(hwnd);
        return 0;
    case TW_SETICON: {
        HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(1));
        if (wp == 0)
            SendMessageA(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
        else if (wp == 1)
            SendMessageA(hwnd, WM_SETICON, ICON_SMALL, 0);
        else
            SendMessageA(hwnd, WM_SETICON, ICON_BIG, (LPARAM)icon);
        return 1;
    }
    case TW_HANG:
        Sleep(lp ? (DWORD)lp : INFINITE);
        return 0;
    case TW_SETTITLE: {
        char text[300] = "";
        if (wp)
            snprintf(text, sizeof text, "%s %u", g_title, (unsigned)wp);
        SetWindowTextA(hwnd, text);
        return 1;
    }
    case TW_CHILDTITLE: {
        char text[64];
        snprintf(text, sizeof text, "inner %u", (unsigned)wp);
        SetWindowTextA(lp ? g_owned : g_child, text);
        return 1;
    }
    case TW_FOCUSOWNED:
        if (g_ownedEdit) {
            SetForegroundWindow(g_owned);
            SetFocus(g_ownedEdit);
        }
        return 1;
    case TW_SYSRESULT:
        g_sysResult = (LRESULT)wp;
        return 1;
    case WM_DESTROY:
        Log("destroy");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow)
{
    DWORD startTick = GetTickCount();
    const char *v;
    if ((v = Option("/title")))
        lstrcpynA(g_title, v, sizeof g_title);
    if ((v = Option("/log")))
        lstrcpynA(g_log, v, sizeof g_log);
    if ((v = Option("/sysret")))
        g_sysResult = atoi(v);
    if ((v = Option("/late")))
        g_lateMs = atoi(v);
    if ((v = Option("/handoff"))) {
        /* Starts another program and leaves at once, as some launchers do. */
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        char cmd[1024];
        lstrcpynA(cmd, v, sizeof cmd);
        if (CreateProcessA(NULL, cmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        return 0;
    }
    if ((v = Option("/busy")))
        Sleep((DWORD)atoi(v));

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = TESTWIN_CLASS;
    if (!Option("/noclassicon")) {
        wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
        wc.hIconSm = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0);
    }
    RegisterClassExA(&wc);

    DWORD style = WS_OVERLAPPEDWINDOW;
    if (Option("/nosysmenu"))
        style = WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
    if (Option("/popup"))
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (Option("/disabled"))
        style |= WS_DISABLED;
    int w = 320, h = 200;
    if (Option("/tiny"))
        w = h = 8;
    if (Option("/tiny") && !Option("/popup"))
        style = WS_POPUP | WS_SYSMENU;   /* a caption would make it bigger */
    HWND hwnd = CreateWindowExA(0, TESTWIN_CLASS, g_title, style, 100, 100, w, h,
                                NULL, NULL, instance, NULL);
    if (!hwnd)
        return 1;
    if (Option("/child"))
        g_child = CreateWindowExA(0, "STATIC", "inner", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20,
                                  hwnd, NULL, instance, NULL);
    if (Option("/owned")) {
        WNDCLASSA oc = {};
        oc.lpfnWndProc = DefWindowProcA;
        oc.hInstance = instance;
        oc.lpszClassName = TESTWIN_CLASS "Owned";
        RegisterClassA(&oc);
        g_owned = CreateWindowExA(WS_EX_DLGMODALFRAME, TESTWIN_CLASS "Owned", "owned",
                                  WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 200, 200, 120,
                                  hwnd, NULL, instance, NULL);
        g_ownedEdit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                      10, 10, 150, 24, g_owned, NULL, instance, NULL);
    }
    if ((v = Option("/exitafter")))
        SetTimer(hwnd, 2, (UINT)atoi(v), NULL);

    if (Option("/hidden"))
        ;
    else if (g_lateMs)
        SetTimer(hwnd, 1, (UINT)g_lateMs, NULL);
    else if (Option("/cmdshow"))
        ShowWindow(hwnd, cmdShow);
    else
        ShowWindow(hwnd, Option("/min") ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    if (Option("/ticks"))
        Log("ticks %lu %lu", startTick, GetTickCount());
    Log("ready %p", (void *)hwnd);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
