/* The tray menus: Zarn's own menu of trayed windows and the per-window menu. */
#ifndef ZARN_MENUS_H
#define ZARN_MENUS_H
#include <windows.h>

void LoadTrayMenus(HINSTANCE instance);
void DestroyTrayMenus(void);
HMENU BuildTrayMenu(void);
void ShowWindowPopup(HWND owner, int id);
void ShowPopupMenu(HWND owner, HMENU menu, int x, int y);
int  GetMenuWindowId(HMENU menu);

extern HMENU WindowPopup;

#endif
