/* The tray registry: every window that owns a notification icon, Zarn's own
   (id 1) and the trayed windows (2..254), newest first, under one lock. */
#ifndef ZARN_REGISTRY_H
#define ZARN_REGISTRY_H
#include <windows.h>

#define TRAY_FIRST_ID 1
#define TRAY_LAST_ID  254
#define TRAY_TIP_SIZE 64

typedef struct TrayEntry {
    int id;
    HWND window;
    HGLOBAL hook;
    struct TrayEntry *next;
} TrayEntry;

typedef struct TrayRegistry {
    TrayEntry *head;
    int count;
    CRITICAL_SECTION lock;   /* re-entrant: see TrayReAddAll */
} TrayRegistry;

/* The window picker's list shares the record layout and the lock. */
typedef struct PickerListHead {
    TrayEntry *head;
    int count;
} PickerListHead;

extern TrayRegistry g_tray;
extern PickerListHead PickerList;

void TrayRegistryInit(void);
void TrayRegistryFree(void);
void TrayLock(void);
void TrayUnlock(void);

int  TrayAddIcon(HWND owner, HWND window, HICON icon, const char *text);
int  TrayFindId(HWND window);
HWND TrayFindWindow(int id);
HWND TrayFindWindowAny(int id);
void TrayRemoveWindow(HWND window);
void TrayRestoreById(int id, int removeFromTray);
void TraySetIcon(HWND window, HICON icon);
void TraySetTip(HWND window, const char *text);
void TrayReAddAll(void);
HICON GetWindowSmallIcon(HWND window);

int  TrayAllocId(void);
TrayEntry *TrayInsertEntry(int id, HWND window, int hook);
void TrayRemoveId(int id);

#define TRAY_READD_TRIES   3     /* a refused re-add is tried this often */
#define ICON_QUERY_TIMEOUT 500   /* ms for one WM_GETICON to another program */

#endif
