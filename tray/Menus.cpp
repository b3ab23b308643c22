#include <windows.h>
#include "Menus.h"

HMENU WindowPopup;

void LoadTrayMenus(HINSTANCE instance) { (void)instance; }
void DestroyTrayMenus(void) {}
HMENU BuildTrayMenu(void) { return NULL; }
void ShowWindowPopup(HWND owner, int id) { (void)owner; (void)id; }
void ShowPopupMenu(HWND owner, HMENU menu, int x, int y) { (void)owner; (void)menu; (void)x; (void)y; }
int GetMenuWindowId(HMENU menu) { (void)menu; return 0; }
