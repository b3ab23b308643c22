/* Zarn's entry, single instance and shutdown; the process-wide values. */
#ifndef ZARN_MAIN_H
#define ZARN_MAIN_H
#include <windows.h>

int  GetStartMode(void);
void ForwardToRunningInstance(int mode, HWND running);
HWND GetMainWindow(void);
HICON GetSmallIcon(void);
HINSTANCE GetZarnInstance(void);
UINT GetTaskbarCreatedMessage(void);
HGLOBAL HookWindow(HWND window);
void UnhookWindow(HGLOBAL hook);
/* The start command block posted at start-up, handed over once if lParam
   is that block; null for anything else. */
char *TakeStartCommand(LPARAM lParam);

/* The start-up steps, apart so that tests can run Zarn's window in-process. */
int  BindHookLibrary(void);          /* 1 bound, 0 missing library or exports */
void UnbindHookLibrary(void);
HWND CreateMainWindow(HINSTANCE instance, int *exitCode);
void RegisterTaskbarCreated(void);
void RunMessageLoop(HWND window);
void TearDownZarn(HWND window);
int  ZarnMain(HINSTANCE instance);

#endif
