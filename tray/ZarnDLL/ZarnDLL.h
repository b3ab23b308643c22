/* ZarnDLL: the per-thread window hook that reports to Zarn's main window. */
#ifndef ZARNDLL_H
#define ZARNDLL_H
#include <windows.h>

/* The record behind the handle StartHook returns (a movable global block). */
typedef struct HookBlock {
    HHOOK hook;     /* null when SetWindowsHookExA failed */
    HWND  target;   /* window the reports go to */
} HookBlock;

typedef HGLOBAL (WINAPI *StartHookProc)(DWORD threadId, HWND target);
typedef HGLOBAL (WINAPI *EndHookProc)(HGLOBAL block);

#ifdef ZARNDLL_BUILD
#define ZARNDLL_API extern "C"   /* exports come from ZarnDLL.def */
#else
#define ZARNDLL_API extern "C" __declspec(dllimport)
#endif

ZARNDLL_API LRESULT WINAPI GetMsgProc(int code, WPARAM wParam, LPARAM lParam);
ZARNDLL_API HGLOBAL WINAPI StartHook(DWORD threadId, HWND target);
ZARNDLL_API HGLOBAL WINAPI EndHook(HGLOBAL block);

#endif
