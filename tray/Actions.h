/* What Zarn does to other programs' top-level windows, and hotkey dispatch. */
#ifndef ZARN_ACTIONS_H
#define ZARN_ACTIONS_H
#include <windows.h>

void RestoreWindow(HWND window, int removeFromTray);
void TrayRestoreByIdAny(int id, int removeFromTray);
int  HideTrayedWindow(HWND window);
int  TrayInWindow(HWND window);
int  HasSystemMenu(HWND window);
void ToggleTopMost(HWND window);
HWND FindFocusedTopLevelWindow(void);
int  RunHotkeyAction(HWND window, int id);

#endif
