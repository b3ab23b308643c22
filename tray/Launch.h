/* Launch a program and tray its main window ("/J"). */
#ifndef ZARN_LAUNCH_H
#define ZARN_LAUNCH_H
#include <windows.h>

/* What the worker of one launch owns from its start: the command copy (null
   if it could not be made) and the ready event (null if it could not be
   created). The worker frees the one and signals and closes the other. */
typedef struct LaunchRequest {
    char *command;
    HANDLE ready;
} LaunchRequest;

/* The worker's search for the started program's main window. */
typedef struct LaunchSearch {
    DWORD processId;
    HWND bestWindow;
    int bestScore;     /* -1 until a window of the process has been rated */
} LaunchSearch;

#define LAUNCH_READY_WAIT   30000   /* ms the main thread waits for the program */
#define LAUNCH_SEARCH_TIME  30000   /* ms of searching after the program is ready */
#define LAUNCH_SEARCH_PAUSE 500     /* ms between two passes */
#define LAUNCH_FULL_SCORE   4

/* Main thread: starts the command on a worker and waits until the program is
   ready for input (at most LAUNCH_READY_WAIT); commandLine is used only
   during the call. */
void LaunchAndTray(const char *commandLine);
DWORD WINAPI LaunchWorker(LPVOID request);
/* EnumWindows callback over a LaunchSearch; rates windows of its process. */
BOOL CALLBACK ScoreLaunchedWindow(HWND window, LPARAM search);

#endif
