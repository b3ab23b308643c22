/* Zarn's main window procedure: every message Zarn acts on arrives here. */
#ifndef ZARN_WNDPROC_H
#define ZARN_WNDPROC_H
#include <windows.h>

LRESULT CALLBACK ZarnWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
