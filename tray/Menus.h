/*
 * The tray menus: Zarn's own menu of trayed windows and the per-window menu,
 * the sorted window lists both menus and the picker are built from, and the
 * routine that shows a popup menu.
 */
#ifndef ZARN_MENUS_H
#define ZARN_MENUS_H
#include <windows.h>
#include "Registry.h"

#define LIST_NAME_SIZE  260
#define LIST_TITLE_SIZE 256

/* One window of a menu list. */
typedef struct WindowListItem {
    char processName[LIST_NAME_SIZE];   /* empty when it cannot be had */
    char title[LIST_TITLE_SIZE];
    int id;                              /* tray id (> 0) or picker id (< 0) */
    HWND window;
} WindowListItem;

/* Popups 0 and 1 of menu 102, and the popup the builders made last. */
extern HMENU TrayPopup;
extern HMENU WindowPopup;
extern HMENU LastBuiltPopup;

void  LoadTrayMenus(HINSTANCE instance);
void  DestroyTrayMenus(void);
HMENU BuildTrayMenu(void);
void  ShowWindowPopup(HWND owner, int id);
void  ShowPopupMenu(HWND owner, HMENU menu, int x, int y);
int   SetMenuWindowId(HMENU menu, int id);
int   GetMenuWindowId(HMENU menu);
int   SetMenuItemStateById(HMENU menu, UINT command, int enabled, int isDefault);

/* Window lists: allocated by the snapshot, released with FreeWindowList. */
int   SnapshotTrayedWindows(WindowListItem **out);
void  FreeWindowList(WindowListItem *items);
int   CompareWindowListItems(const WindowListItem *a, const WindowListItem *b);
int   GetProcessExeName(HWND window, char *out);   /* one snapshot, one window */

/* Shared with the picker: append the records of a list (the main window's
   own left out), then name a whole list from one process snapshot and sort it. */
int   AppendWindowListItems(WindowListItem *items, int filled, const TrayEntry *head);
void  FillProcessNames(WindowListItem *items, int count);
void  SortWindowList(WindowListItem *items, int count);
/* Hands a filled list to the caller sorted, or frees an empty one: the count. */
/* Inserts one owner-drawn window item: item data the id, the given command. */
void  InsertWindowMenuItem(HMENU menu, UINT position, const WindowListItem *item, UINT command);
int   FinishWindowList(WindowListItem *items, int filled, WindowListItem **out);
int   IsTrackingPopupMenu(void);

#endif
