/*
 * Zarn's frame: start mode, the single-instance mutex and the hand-over to
 * a running Zarn, binding ZarnDLL, the hidden main window, the message loop
 * and the teardown in a fixed order.
 */
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <stdlib.h>
#include <string.h>
#include "ZarnMsg.h"
#include "Main.h"
#include "Registry.h"
#include "WndProc.h"
#include "Menus.h"
#include "Hotkeys.h"
#include "ZarnDLL/ZarnDLL.h"

#if defined(_M_IX86) || defined(__i386__)
static_assert(sizeof(WNDCLASSEXA) == 48, "WNDCLASSEXA");
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "NOTIFYICONDATAA first form");
static_assert(sizeof(STARTUPINFOA) == 68, "STARTUPINFOA");
static_assert(sizeof(PROCESSENTRY32) == 296, "PROCESSENTRY32");
static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT");
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA");
#endif

static HWND g_mainWindow;
static HINSTANCE g_instance;
static HICON g_smallIcon;
static HMODULE g_hookLibrary;
static StartHookProc g_startHook;
static EndHookProc g_endHook;
static UINT g_taskbarCreated;
static char *g_startCommand;

HWND GetMainWindow(void) { return g_mainWindow; }
HICON GetSmallIcon(void) { return g_smallIcon; }
HINSTANCE GetZarnInstance(void) { return g_instance; }
UINT GetTaskbarCreatedMessage(void) { return g_taskbarCreated; }

int GetStartMode(void)
{
    if (__argc < 2 || !__argv[1])
        return START_NONE;
    const char *opt = __argv[1];
    int mode = START_NONE;
    if (opt[0] == '/' && opt[1] == 'J')
        mode = START_LAUNCH;
    else if (opt[0] == '/' && opt[1] == 'O')
        mode = START_OPEN;
    return (mode != START_NONE && __argc >= 3) ? mode : START_NONE;
}

void ForwardToRunningInstance(int mode, HWND running)
{
    if (mode == START_NONE)
        return;
    for (int i = 0; !running && i < 10; i++)
        running = FindWindowA(ZARN_CLASS_NAME, NULL);
    if (!running)
        return;
    const char *command = __argv[2];
    COPYDATASTRUCT cds;
    cds.dwData = (ULONG_PTR)mode;
    cds.cbData = (DWORD)strlen(command) + 1;
    cds.lpData = (void *)command;
    SendMessageA(running, WM_COPYDATA, 0, (LPARAM)&cds);
}

HGLOBAL HookWindow(HWND window)
{
    if (!g_startHook)
        return NULL;
    return g_startHook(GetWindowThreadProcessId(window, NULL), g_mainWindow);
}

void UnhookWindow(HGLOBAL hook)
{
    if (g_endHook)
        g_endHook(hook);
}

int BindHookLibrary(void)
{
    g_hookLibrary = LoadLibraryA(ZARN_DLL_NAME);
    if (!g_hookLibrary)
        return 0;
    g_startHook = (StartHookProc)(void *)GetProcAddress(g_hookLibrary, "StartHook");
    g_endHook = (EndHookProc)(void *)GetProcAddress(g_hookLibrary, "EndHook");
    if (!g_startHook || !g_endHook) {
        UnbindHookLibrary();
        return 0;
    }
    return 1;
}

void UnbindHookLibrary(void)
{
    if (g_hookLibrary)
        FreeLibrary(g_hookLibrary);
    g_hookLibrary = NULL;
    g_startHook = NULL;
    g_endHook = NULL;
}

HWND CreateMainWindow(HINSTANCE instance, int *exitCode)
{
    TrayRegistryInit();

    g_instance = instance;
    g_smallIcon = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_ZARN), IMAGE_ICON,
                                    16, 16, LR_DEFAULTCOLOR);
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ZarnWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_ZARN));
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = ZARN_CLASS_NAME;
    wc.hIconSm = g_smallIcon;
    if (!RegisterClassExA(&wc)) {
        *exitCode = -3;
        return NULL;
    }
    HWND window = CreateWindowExA(0, ZARN_CLASS_NAME, ZARN_WINDOW_NAME, WS_SYSMENU,
                                  0, 0, 0, 0, NULL, NULL, instance, NULL);
    if (!window) {
        *exitCode = -1;
        return NULL;
    }
    g_mainWindow = window;
    UpdateWindow(window);
    *exitCode = 0;
    return window;
}

void RegisterTaskbarCreated(void)
{
    g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
}

void RunMessageLoop(HWND window)
{
    MSG msg;
    /* Dispatch before translate, and only the main window's messages. */
    while (GetMessageA(&msg, window, 0, 0) > 0) {
        DispatchMessageA(&msg);
        TranslateMessage(&msg);
    }
}

void TearDownZarn(HWND window)
{
    HotkeyUnregisterAll(window);
    DestroyTrayMenus();
    TrayRegistryFree();
    UnbindHookLibrary();
}

static void PostStartCommand(HWND window, int mode)
{
    /* Sized to the command, however long; the window procedure frees it. */
    size_t len = strlen(__argv[2]);
    char *block = (char *)LocalAlloc(LMEM_FIXED, len + 1);
    if (!block)
        return;
    memcpy(block, __argv[2], len + 1);
    g_startCommand = block;
    if (!PostMessageA(window, MSG_START_COMMAND, (WPARAM)mode, (LPARAM)block)) {
        g_startCommand = NULL;
        LocalFree(block);
    }
}

char *TakeStartCommand(LPARAM lParam)
{
    char *block = g_startCommand;
    if (!block || (LPARAM)block != lParam)
        return NULL;
    g_startCommand = NULL;
    return block;
}

static int ReleaseAndExit(HANDLE mutex, int code)
{
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return code;
}

int ZarnMain(HINSTANCE instance)
{
    int mode = GetStartMode();
    HANDLE mutex = CreateMutexA(NULL, FALSE, ZARN_MUTEX_NAME);
    WaitForSingleObject(mutex, INFINITE);

    if (FindWindowA(ZARN_CLASS_NAME, NULL)) {
        ReleaseAndExit(mutex, 0);
        ForwardToRunningInstance(mode, NULL);
        return 0;
    }
    if (!BindHookLibrary())
        return ReleaseAndExit(mutex, 0);

    int exitCode = 0;
    HWND window = CreateMainWindow(instance, &exitCode);
    if (!window)
        return ReleaseAndExit(mutex, exitCode);

    LoadTrayMenus(instance);
    HotkeyRegisterAll(window);
    if (mode != START_NONE)
        PostStartCommand(window, mode);
    ReleaseMutex(mutex);
    CloseHandle(mutex);

    RegisterTaskbarCreated();
    RunMessageLoop(window);
    TearDownZarn(window);
    return 0;
}
