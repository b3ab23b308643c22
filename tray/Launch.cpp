/*
 * "/J": start a program and tray its main window once it exists.
 * The main thread only waits for the program to become ready for input; a
 * worker of each launch searches for the window and posts it back, so the
 * search never holds up Zarn's messages.
 */
#include <windows.h>
#include <string.h>
#include "ZarnMsg.h"
#include "Main.h"
#include "Launch.h"

#define LAUNCH_MIN_SIZE   10     /* width and height must be greater */
#define LAUNCH_TITLE_SIZE 1024

static char *CopyCommand(const char *commandLine)
{
    if (!commandLine)
        return NULL;
    size_t size = strlen(commandLine) + 1;
    char *copy = (char *)HeapAlloc(GetProcessHeap(), 0, size);
    if (copy)
        memcpy(copy, commandLine, size);
    return copy;
}

static void FreeCommand(char *command)
{
    if (command)
        HeapFree(GetProcessHeap(), 0, command);
}

static void ReleaseReady(HANDLE *ready)
{
    if (!*ready)
        return;
    SetEvent(*ready);
    CloseHandle(*ready);
    *ready = NULL;
}

void LaunchAndTray(const char *commandLine)
{
    char *command = CopyCommand(commandLine);
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    LaunchRequest *request = (LaunchRequest *)HeapAlloc(GetProcessHeap(), 0, sizeof *request);
    HANDLE worker = NULL;
    if (request) {
        request->command = command;
        request->ready = ready;
        worker = CreateThread(NULL, 0, LaunchWorker, request, 0, NULL);
    }
    if (!worker) {
        if (request)
            HeapFree(GetProcessHeap(), 0, request);
        FreeCommand(command);
        if (ready)
            CloseHandle(ready);
        return;
    }
    /* A null event returns at once: the launch goes on without the wait. */
    WaitForSingleObject(ready, LAUNCH_READY_WAIT);
    CloseHandle(worker);
}

BOOL CALLBACK ScoreLaunchedWindow(HWND window, LPARAM param)
{
    LaunchSearch *search = (LaunchSearch *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId)
        return TRUE;

    int score = 0;
    WINDOWPLACEMENT wp;
    ZeroMemory(&wp, sizeof wp);
    wp.length = sizeof wp;
    GetWindowPlacement(window, &wp);
    /* The restored rectangle, so that a program started minimized counts. */
    LONG width = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
    LONG height = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
    if (width > LAUNCH_MIN_SIZE && height > LAUNCH_MIN_SIZE)
        score++;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    if ((style & WS_VISIBLE) && !(style & WS_POPUP))
        score++;
    if (!(style & WS_DISABLED))
        score++;
    char title[LAUNCH_TITLE_SIZE];
    title[0] = 0;
    GetWindowTextA(window, title, LAUNCH_TITLE_SIZE - 1);
    if (title[0])
        score++;

    /* Strictly better only: among equals the first one met stays. */
    if (score > search->bestScore) {
        search->bestScore = score;
        search->bestWindow = window;
    }
    return TRUE;
}

DWORD WINAPI LaunchWorker(LPVOID param)
{
    LaunchRequest *request = (LaunchRequest *)param;
    char *command = request->command;
    HANDLE ready = request->ready;
    HeapFree(GetProcessHeap(), 0, request);

    /* The program starts as Zarn was started (show state, position, title),
       but without Zarn's standard handles. */
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    si.hStdInput = NULL;
    si.hStdOutput = NULL;
    si.hStdError = NULL;

    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    if (command && CreateProcessA(NULL, command, NULL, NULL, FALSE, CREATE_NEW_PROCESS_GROUP,
                                  NULL, NULL, &si, &pi)) {
        LaunchSearch search;
        search.processId = pi.dwProcessId;
        search.bestWindow = NULL;
        search.bestScore = -1;
        WaitForInputIdle(pi.hProcess, INFINITE);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        ReleaseReady(&ready);

        DWORD start = GetTickCount();
        while (search.bestScore < LAUNCH_FULL_SCORE) {
            if ((DWORD)(GetTickCount() - start) >= LAUNCH_SEARCH_TIME)
                break;
            EnumWindows(ScoreLaunchedWindow, (LPARAM)&search);
            if (search.bestScore >= LAUNCH_FULL_SCORE) {
                PostMessageA(GetMainWindow(), MSG_WINDOW_LAUNCHED, (WPARAM)search.bestWindow, 0);
                FreeCommand(command);
                return 0;
            }
            Sleep(LAUNCH_SEARCH_PAUSE);
        }
    }
    FreeCommand(command);
    ReleaseReady(&ready);
    return 0;
}
